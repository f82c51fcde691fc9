// "ｱﾌﾟﾘｹｰｼｮﾝの設定": the application menu's entries edited in a list: a command line (typed, or a
// program picked in the tree), a display name, and the buttons that add, update, move and delete.
#pragma once

#include <QDialog>
#include <functional>

#include "custom/entry_lists.h"
#include "dialogs/dialogs.h"

class QLineEdit;
class QListWidget;
class QPushButton;

namespace sorabu::browser {
class TFolderTreeViewEx;
}

namespace sorabu::ui {

class TAppSetDialog : public QDialog {
  Q_OBJECT
 public:
  explicit TAppSetDialog(const dialogs::TDialogs::ApplicationSetup& setup, QWidget* parent = nullptr);

  QLineEdit* Edit1() const { return path_; }
  QLineEdit* Edit2() const { return name_; }
  QListWidget* ListBox1() const { return list_; }
  browser::TFolderTreeViewEx* Tree() const { return tree_; }
  QPushButton* AddButton() const { return add_; }
  QPushButton* UpdateButton() const { return update_; }
  QPushButton* UpButton() const { return up_; }
  QPushButton* DownButton() const { return down_; }
  QPushButton* DeleteButton() const { return delete_; }

  // How a refused command line is told (CP932 text); a message box unless replaced.
  std::function<void(const std::string&)> warn;
  const std::vector<dialogs::AppEntry>& Entries() const { return list_model_.Items(); }

 private:
  void Add();
  void Update();
  void Select(int row);
  void Refill(int select);
  void EnableButtons();

  std::function<bool(const std::string&)> usable_;
  custom::TAppList list_model_;
  QLineEdit* path_;
  QLineEdit* name_;
  QListWidget* list_;
  browser::TFolderTreeViewEx* tree_;
  QPushButton* add_;
  QPushButton* update_;
  QPushButton* up_;
  QPushButton* down_;
  QPushButton* delete_;
};

}  // namespace sorabu::ui
