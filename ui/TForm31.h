// The list dialog of the repeated deletions: a list of texts (or patterns, with "正規表現(&S)")
// edited in place (add, delete, move, empty) and loaded from or saved to a text file. The file
// dialogs start in the folders remembered from the last load and save.
#pragma once

#include <QDialog>
#include <functional>

#include "dialogs/dialogs.h"

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace sorabu::ui {

class TForm31 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm31(const dialogs::TDialogs::ListSetup& setup, QWidget* parent = nullptr);

  QLineEdit* Edit1() const { return edit_; }
  QListWidget* ListBox1() const { return list_; }
  QCheckBox* RegexBox() const { return regex_; }
  QPushButton* AddButton() const { return add_; }
  QPushButton* DeleteButton() const { return delete_; }
  QPushButton* UpButton() const { return up_; }
  QPushButton* DownButton() const { return down_; }
  QPushButton* ClearTextButton() const { return clearText_; }
  QPushButton* ClearAllButton() const { return clearAll_; }
  QPushButton* LoadButton() const { return load_; }
  QPushButton* SaveButton() const { return save_; }
  QPushButton* OkButton() const { return ok_; }

  // What the load and save buttons do once the file dialog has given a path: true when done.
  // A failure is told through warn and leaves the list and the remembered folder as they were.
  bool LoadFrom(const QString& path);
  bool SaveTo(const QString& path);
  // How a failure is told; a message box unless replaced.
  std::function<void(const QString&)> warn;

  // The entries as CP932, the box, and the folders of the last load and save.
  dialogs::TDialogs::ListAnswer Answer() const;

 private:
  void Append(const std::string& entry);
  void Move(int step);
  void DeleteSelected();
  void Load();
  void Save();

  QLineEdit* edit_;
  QListWidget* list_;
  QCheckBox* regex_;
  QPushButton* add_;
  QPushButton* delete_;
  QPushButton* up_;
  QPushButton* down_;
  QPushButton* clearText_;
  QPushButton* clearAll_;
  QPushButton* load_;
  QPushButton* save_;
  QPushButton* ok_;
  std::string openFolder_;
  std::string saveFolder_;
};

}  // namespace sorabu::ui
