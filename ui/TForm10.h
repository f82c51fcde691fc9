// The drive dialog "ドライブの指定": the drive panel, an edit of one character, OK and Cancel.
// Pressing a drive button takes that drive as the answer at once.
#pragma once

#include <QDialog>
#include <optional>
#include <string>

class QLineEdit;

namespace sorabu::browser {
class TDrivePanel;
}

namespace sorabu::ui {

class TForm10 : public QDialog {
  Q_OBJECT
 public:
  TForm10(const QStringList& drives, const QString& current, QWidget* parent = nullptr);

  browser::TDrivePanel* DrivePanel1() const { return panel_; }
  QLineEdit* Edit1() const { return edit_; }
  // The pressed drive's mount point, or the edit's text after OK; empty after Cancel.
  QString Answer() const { return answer_; }

 private:
  browser::TDrivePanel* panel_;
  QLineEdit* edit_;
  QString answer_;
};

}  // namespace sorabu::ui
