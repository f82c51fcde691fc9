#include "viewer/status_panels.h"

#include <QFontMetrics>

namespace sorabu::viewer {

TStatusPanels::TStatusPanels(const QVector<int>& widths, QWidget* parent) : QStatusBar(parent) {
  setSizeGripEnabled(false);
  for (int i = 0; i < widths.size(); ++i) {
    auto* label = new QLabel(this);
    label->setFrameShape(QFrame::StyledPanel);
    label->setFrameShadow(QFrame::Sunken);
    const bool last = i + 1 == widths.size();
    // The last panel takes what the others leave, at least its own width; a text longer than
    // that is cut at the bar's end instead of widening the window.
    if (last) {
      label->setMinimumWidth(widths[i]);
      label->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    } else {
      label->setFixedWidth(widths[i]);
    }
    addWidget(label, last ? 1 : 0);
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
    const int width = m.horizontalAdvance(QLatin1Char(' ') + text + QLatin1Char(' ')) + 2 * label->frameWidth() + 2;
    if (label == panels_.back()) {
      label->setMinimumWidth(width);
    } else {
      label->setFixedWidth(width);
    }
  }
}

}  // namespace sorabu::viewer
