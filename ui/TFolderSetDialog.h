// "登録ﾌｫﾙﾀﾞｰの設定": the registered folders edited in a list: a path (typed or picked in the
// tree) added once, moved up or down, deleted.
#pragma once

#include <QDialog>

#include "custom/entry_lists.h"

class QLineEdit;
class QListWidget;
class QPushButton;

namespace sorabu::browser {
class TFolderTreeViewEx;
}

namespace sorabu::ui {

class TFolderSetDialog : public QDialog {
  Q_OBJECT
 public:
  explicit TFolderSetDialog(const std::vector<std::string>& folders, QWidget* parent = nullptr);

  QLineEdit* Edit1() const { return path_; }
  QListWidget* ListBox1() const { return list_; }
  browser::TFolderTreeViewEx* Tree() const { return tree_; }
  QPushButton* AddButton() const { return add_; }
  QPushButton* UpButton() const { return up_; }
  QPushButton* DownButton() const { return down_; }
  QPushButton* DeleteButton() const { return delete_; }

  const std::vector<std::string>& Folders() const { return folders_.Items(); }

 private:
  void Refill(int select);
  void Select(int row);
  void EnableButtons();

  custom::TFolderList folders_;
  QLineEdit* path_;
  QListWidget* list_;
  browser::TFolderTreeViewEx* tree_;
  QPushButton* add_;
  QPushButton* up_;
  QPushButton* down_;
  QPushButton* delete_;
};

}  // namespace sorabu::ui
