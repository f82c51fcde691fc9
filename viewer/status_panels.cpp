#include "viewer/status_panels.h"

#include <QFontMetrics>

namespace sorabu::viewer {

TStatusPanels::TStatusPanels(const QVector<int>& widths, QWidget* parent) : QStatusBar(parent) {
  setSizeGripEnabled(false);
  for (int w : widths) {
    auto* label = new QLabel(this);
    label->setFixedWidth(w);
    label->setFrameShape(QFrame::StyledPanel);
    label->setFrameShadow(QFrame::Sunken);
    addWidget(label);
    panels_.push_back(label);
  }
}

QString TStatusPanels::PanelText(int index) const {
  return index >= 0 && index < panels_.size() ? panels_[index]->text() : QString();
}

int TStatusPanels::PanelWidth(int index) const {
  return index >= 0 && index < panels_.size() ? panels_[index]->width() : 0;
}

void TStatusPanels::SetPanelText(int index, const QString& text, bool fit) {
  if (index < 0 || index >= panels_.size()) return;
  QLabel* label = panels_[index];
  label->setText(text);
  if (fit) {
    const QFontMetrics m(font());
    label->setFixedWidth(m.horizontalAdvance(QLatin1Char(' ') + text + QLatin1Char(' ')) +
                         2 * label->frameWidth() + 2);
  }
}

}  // namespace sorabu::viewer
