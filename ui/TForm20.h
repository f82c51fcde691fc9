// The merge dialog "ファイル結合": the folder, the number of files, the output name and the files in
// the order they are joined, which the user rearranges (up, down) or thins out (delete). OK needs
// an output name; the information label tells where the join is recorded.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "dialogs/dialogs.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace sorabu::ui {

class TForm20 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm20(const dialogs::TDialogs::MergeSetup& setup, QWidget* parent = nullptr);

  QLabel* FolderLabel() const { return folder_; }
  QLabel* CountLabel() const { return count_; }
  QLineEdit* Edit1() const { return edit_; }
  QListWidget* ListBox1() const { return list_; }
  QPushButton* UpButton() const { return up_; }
  QPushButton* DownButton() const { return down_; }
  QPushButton* DeleteButton() const { return delete_; }
  QLabel* InfoLabel() const { return info_; }
  QPushButton* OkButton() const { return ok_; }
  // The output name and the listed names in order, as the file system's bytes.
  dialogs::TDialogs::MergeAnswer Answer() const;

  // name with its extension replaced by ".bat" (added when it has none).
  static QString BatchName(const QString& name);

 private:
  void Move(int step);
  void DeleteSelected();

  QLabel* folder_;
  QLabel* count_;
  QLineEdit* edit_;
  QListWidget* list_;
  QPushButton* up_;
  QPushButton* down_;
  QPushButton* delete_;
  QLabel* info_;
  QPushButton* ok_;
};

}  // namespace sorabu::ui
