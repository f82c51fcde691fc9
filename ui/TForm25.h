// The regular-expression dialog: the pattern and the replacement in editable combos over their
// histories, "文字の同一視(&D)" and the panel of insert buttons writing into either combo. The
// command hides what it does not need: the note, the replacement, the box, the panel.
#pragma once

#include <QDialog>

#include "dialogs/dialogs.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace sorabu::ui {

class TRegExpButtons;

class TForm25 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm25(const dialogs::TDialogs::RegExpSetup& setup, QWidget* parent = nullptr);

  QComboBox* CBRegExp() const { return pattern_; }
  QLabel* NoteLabel() const { return note_; }
  QLabel* ReplacementLabel() const { return replacementLabel_; }
  QComboBox* CBReplace() const { return replacement_; }
  QCheckBox* FuzzyBox() const { return fuzzy_; }
  QPushButton* OkButton() const { return ok_; }
  TRegExpButtons* InsertButtons() const { return insert_; }
  // The combos' texts as CP932; fuzzy only while the box is offered.
  dialogs::TDialogs::RegExpAnswer Answer() const;

 private:
  QComboBox* pattern_;
  QLabel* note_;
  QLabel* replacementLabel_;
  QComboBox* replacement_;
  QCheckBox* fuzzy_;
  QPushButton* ok_;
  TRegExpButtons* insert_;
};

}  // namespace sorabu::ui
