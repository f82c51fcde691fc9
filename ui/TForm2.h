// The file-operation dialog "ファイル操作": where to copy, move or extract to. A folder tree beside
// the destination combo (whose list is the destination history), the folder picked, the kind of
// operation (for information only), the number of items and their paths.
//
// Picking a folder in the tree puts its path into the combo and the folder label. The answer is
// the combo's text after OK, also when it is empty; keeping the history is the caller's business.
#pragma once

#include <QDialog>

#include "dialogs/dialogs.h"

class QButtonGroup;
class QComboBox;
class QLabel;
class QPlainTextEdit;

namespace sorabu::browser {
class TFolderView;
}

namespace sorabu::ui {

class TForm2 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm2(const dialogs::TDialogs::FileOperationSetup& setup, QWidget* parent = nullptr);

  browser::TFolderView* FolderView1() const { return tree_; }
  QComboBox* ComboBox1() const { return combo_; }
  QLabel* FolderLabel() const { return folder_; }
  QButtonGroup* RadioGroup1() const { return group_; }
  QLabel* CountLabel() const { return count_; }
  QPlainTextEdit* Memo1() const { return sources_; }
  QString Destination() const;

 private:
  void ShowFolder(const QString& path);

  browser::TFolderView* tree_;
  QComboBox* combo_;
  QLabel* folder_;
  QButtonGroup* group_;
  QLabel* count_;
  QPlainTextEdit* sources_;
};

}  // namespace sorabu::ui
