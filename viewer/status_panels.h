// A status bar made of text panels, each sized to its text when a handler writes it.
#pragma once

#include <QLabel>
#include <QStatusBar>
#include <QVector>

namespace sorabu::viewer {

class TStatusPanels : public QStatusBar {
  Q_OBJECT
 public:
  TStatusPanels(const QVector<int>& widths, QWidget* parent = nullptr);

  int PanelCount() const { return static_cast<int>(panels_.size()); }
  QString PanelText(int index) const;
  int PanelWidth(int index) const;
  // Sets the text; with fit, the panel becomes one blank, the text and one blank wide.
  void SetPanelText(int index, const QString& text, bool fit = true);

 private:
  QVector<QLabel*> panels_;
};

}  // namespace sorabu::viewer
