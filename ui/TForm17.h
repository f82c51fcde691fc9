// The split dialog "ﾌｧｲﾙの分割": the file and its size, the part size (floppy sizes by radio
// item, or typed into the combo, whose list holds the sizes used before), and a preview of the
// number of parts and the files to be made.
//
// Enter in the size combo checks the size: a size giving more parts than a split may make is
// refused with a warning and the list emptied; otherwise the preview is refreshed and OK gets the
// focus. OK refuses such a size the same way, and a size that is not a positive whole number.
#pragma once

#include <QDialog>
#include <functional>

#include "dialogs/dialogs.h"

class QButtonGroup;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace sorabu::ui {

class TForm17 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm17(const dialogs::TDialogs::SplitSetup& setup, QWidget* parent = nullptr);

  QButtonGroup* RadioGroup1() const { return group_; }
  QComboBox* ComboBox1() const { return combo_; }
  QLabel* CountLabel() const { return count_; }
  QListWidget* ListBox1() const { return list_; }
  QPushButton* OkButton() const { return ok_; }
  QString SizeText() const;

  // The part size a text stands for: ASCII digits only, above 0; 0 otherwise.
  static unsigned long long PartSize(const QString& text);
  // fileSize / size + 1, with a size of 1 for a text that is no part size.
  static unsigned long long PartCount(unsigned long long fileSize, const QString& text);

  // Shows the part count and, when the parts can be made, their names.
  void Preview();
  // The check Enter in the size combo runs.
  void CheckSize();
  // How a refusal is told; a message box unless replaced.
  std::function<void(const QString&)> warn;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void TryAccept();
  void Refuse(const QString& text);

  dialogs::TDialogs::SplitSetup setup_;
  QButtonGroup* group_;
  QComboBox* combo_;
  QLabel* count_;
  QListWidget* list_;
  QPushButton* ok_;
};

}  // namespace sorabu::ui
