// The directory listing settings "dirｺﾏﾝﾄﾞ結果表示": the path combo over its history, attribute
// and sort combos, "ｻﾌﾞﾃﾞｨﾚﾄｸﾘも表示(/&S)", the form group, "小文字で表示(/&L)", the read-only
// argument preview that follows every change, and a folder tree whose pick fills the path.
#pragma once

#include <QDialog>

#include "dialogs/dialogs.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;

namespace sorabu::browser {
class TFolderView;
}

namespace sorabu::ui {

class TDirCommandDialog : public QDialog {
  Q_OBJECT
 public:
  explicit TDirCommandDialog(const dialogs::TDialogs::DirCommandSetup& setup, QWidget* parent = nullptr);

  QComboBox* PathCombo() const { return path_; }
  QComboBox* AttributeCombo() const { return attribute_; }
  QComboBox* SortCombo() const { return sort_; }
  QCheckBox* SubdirsBox() const { return subdirs_; }
  QButtonGroup* FormGroup() const { return form_; }
  QCheckBox* LowerBox() const { return lower_; }
  QLineEdit* Preview() const { return preview_; }
  browser::TFolderView* FolderView1() const { return tree_; }
  dialogs::TDialogs::DirCommandAnswer Answer() const;

 private:
  void Rebuild();

  QComboBox* path_;
  QComboBox* attribute_;
  QComboBox* sort_;
  QCheckBox* subdirs_;
  QButtonGroup* form_;
  QCheckBox* lower_;
  QLineEdit* preview_;
  browser::TFolderView* tree_;
};

}  // namespace sorabu::ui
