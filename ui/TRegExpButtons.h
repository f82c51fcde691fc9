// The panel of buttons that write pieces of regular expressions into a combo box: three groups,
// "正規表現", "エスケープシークエンス" and "キャラクタセット".
//
// A piece goes into whichever of the panel's combos last had the focus (none before any had it),
// replacing its selection, and the caret lands inside or after the piece where the user goes on
// typing. "^" goes in front of the whole text and "$" after it. The buttons take no focus, so the
// combo keeps its selection while one is clicked.
#pragma once

#include <QComboBox>
#include <QList>
#include <QPointer>
#include <QWidget>

class QPushButton;

namespace sorabu::ui {

class TRegExpButtons : public QWidget {
  Q_OBJECT
 public:
  explicit TRegExpButtons(QWidget* parent = nullptr);

  // A combo the buttons may write into.
  void AddTarget(QComboBox* combo);
  // The combo that last had the focus, or null.
  QComboBox* Target() const { return target_; }
  // The button shown with this caption ("&" for the one that shows an ampersand), or null.
  QPushButton* Button(const QString& caption) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QList<QPointer<QComboBox>> targets_;
  QPointer<QComboBox> target_;
  QList<QPair<QString, QPushButton*>> buttons_;
};

}  // namespace sorabu::ui
