// The search dialog "検索": the text in an editable combo over its history, whole word, match
// case and the direction. The answer is the combo's text as it stands, also when empty; ordering
// and keeping the history is the caller's business.
#pragma once

#include <QDialog>

#include "dialogs/dialogs.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QPushButton;

namespace sorabu::ui {

class TForm32 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm32(const dialogs::TDialogs::FindSetup& setup, QWidget* parent = nullptr);

  QComboBox* ComboBox1() const { return combo_; }
  QCheckBox* WholeWord() const { return wholeWord_; }
  QCheckBox* MatchCase() const { return matchCase_; }
  // 0 up, 1 down.
  QButtonGroup* Direction() const { return direction_; }
  QPushButton* OkButton() const { return ok_; }
  dialogs::TDialogs::FindAnswer Answer() const;

 private:
  QComboBox* combo_;
  QCheckBox* wholeWord_;
  QCheckBox* matchCase_;
  QButtonGroup* direction_;
  QPushButton* ok_;
};

}  // namespace sorabu::ui
