// The replace dialog "置換" of the text pane: modeless, its buttons hand the texts (as CP932) to
// the pane's handlers while it stays open. A new pane content brings new texts and handlers into
// the open dialog.
#pragma once

#include <QDialog>

#include "dialogs/dialogs.h"

class QLineEdit;
class QPushButton;

namespace sorabu::ui {

class TReplaceDialog : public QDialog {
  Q_OBJECT
 public:
  explicit TReplaceDialog(QWidget* parent = nullptr);

  void Reset(const dialogs::TDialogs::ReplaceSetup& setup, const dialogs::TDialogs::ReplaceHandlers& handlers);

  QLineEdit* FindEdit() const { return find_; }
  QLineEdit* ReplacementEdit() const { return replacement_; }
  QPushButton* FindNextButton() const { return findNext_; }
  QPushButton* ReplaceButton() const { return replace_; }
  QPushButton* ReplaceAllButton() const { return replaceAll_; }
  QPushButton* CancelButton() const { return cancel_; }

 private:
  void FindNext();
  void Replace();
  void ReplaceAll();

  dialogs::TDialogs::ReplaceHandlers handlers_;
  QLineEdit* find_;
  QLineEdit* replacement_;
  QPushButton* findNext_;
  QPushButton* replace_;
  QPushButton* replaceAll_;
  QPushButton* cancel_;
};

}  // namespace sorabu::ui
