// The Grep dialog "Grepの実行": the pattern over its history, the files to search (the selected
// ones or all that are listed, one path per line, editable) with their number, and the output
// options. The insert-button panel is shown on request; the form grows by its height then.
#pragma once

#include <QDialog>
#include <QStringList>

#include "dialogs/dialogs.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace sorabu::ui {

class TRegExpButtons;

class TForm9 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm9(const dialogs::TDialogs::GrepSetup& setup, QWidget* parent = nullptr);

  QComboBox* CBRegExp() const { return pattern_; }
  QCheckBox* FuzzyBox() const { return fuzzy_; }
  QLabel* FolderLabel() const { return folder_; }
  QLabel* CountLabel() const { return count_; }
  QPlainTextEdit* Memo1() const { return memo_; }
  // 0 the selected files, 1 all; disabled when nothing is selected.
  QGroupBox* FileGroup() const { return fileBox_; }
  QButtonGroup* RadioGroup1() const { return files_; }
  QCheckBox* FileNamesBox() const { return fileNames_; }
  QCheckBox* LineNumbersBox() const { return lineNumbers_; }
  QCheckBox* SubFoldersBox() const { return subFolders_; }
  QPushButton* PanelButton() const { return panelButton_; }
  TRegExpButtons* InsertButtons() const { return insert_; }
  QPushButton* OkButton() const { return ok_; }

  // Shows or hides the insert-button panel, the form's height following.
  void TogglePanel();
  // The pattern as CP932, the memo's non-empty lines as the file system's paths, the boxes.
  dialogs::TDialogs::GrepAnswer Answer() const;

 private:
  QStringList Lines() const;
  void ShowFiles(int which);

  QStringList selected_;
  QStringList all_;
  QComboBox* pattern_;
  QCheckBox* fuzzy_;
  QLabel* folder_;
  QLabel* count_;
  QPlainTextEdit* memo_;
  QGroupBox* fileBox_;
  QButtonGroup* files_;
  QCheckBox* fileNames_;
  QCheckBox* subFolders_;
  QCheckBox* lineNumbers_;
  QPushButton* panelButton_;
  TRegExpButtons* insert_;
  QPushButton* ok_;
};

}  // namespace sorabu::ui
