// The editor settings dialog "ｴﾃﾞｨﾀｰの設定": a folder tree listing folders and programs beside an
// edit field with the editor's path. The start-up folder dialog is the same form with folders only
// and no rule on OK.
#pragma once

#include <QDialog>

#include "dialogs/dialogs.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace sorabu::browser {
class TFolderTreeViewEx;
}

namespace sorabu::ui {

class TEditorSetDialog : public QDialog {
  Q_OBJECT
 public:
  TEditorSetDialog(const dialogs::TDialogs::PickSetup& setup, QWidget* parent = nullptr);

  browser::TFolderTreeViewEx* FolderTreeViewEx1() const { return tree_; }
  QLineEdit* Edit1() const { return edit_; }
  QLabel* Previous() const { return previous_; }
  QPushButton* OkButton() const { return ok_; }

  // The OK rule of the editor setting: a name ending in ".exe", or a program file of this system.
  static bool IsProgramName(const QString& text);

 private:
  browser::TFolderTreeViewEx* tree_;
  QLineEdit* edit_;
  QLabel* previous_;
  QPushButton* ok_;
};

}  // namespace sorabu::ui
