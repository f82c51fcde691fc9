// The question when a name is taken at the destination "ファイル名の衝突": the existing item and
// the one being copied or moved side by side (size and modification time), and what to do:
// replace, skip, save under another name or cancel the whole operation. With further items to
// come, the choice may be applied to all of them.
#pragma once

#include <QDialog>

#include "dialogs/dialogs.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace sorabu::ui {

class TCollisionDialog : public QDialog {
  Q_OBJECT
 public:
  explicit TCollisionDialog(const dialogs::TDialogs::CollisionSetup& setup, QWidget* parent = nullptr);

  // The pressed button's choice (Cancel when the dialog was closed otherwise); "apply to all" only
  // when the box was offered.
  dialogs::TDialogs::CollisionAnswer Answer() const;

  QPushButton* ReplaceButton() const { return replace_; }
  QPushButton* SkipButton() const { return skip_; }
  QPushButton* RenameButton() const { return rename_; }
  QPushButton* CancelButton() const { return cancel_; }
  QCheckBox* ApplyToAll() const { return all_; }
  QLabel* Message() const { return message_; }
  QLabel* Existing() const { return existing_; }
  QLabel* Incoming() const { return incoming_; }

  // "1,234,567 byte"
  static QString SizeText(unsigned long long bytes);
  // "2024/05/01 13:45" in local time
  static QString TimeText(long long secondsSinceEpoch);

 private:
  void Choose(dialogs::TDialogs::CollisionChoice choice);

  dialogs::TDialogs::CollisionChoice choice_ = dialogs::TDialogs::CollisionChoice::Cancel;
  bool offerAll_ = false;
  QLabel* message_;
  QLabel* existing_;
  QLabel* incoming_;
  QCheckBox* all_;
  QPushButton* replace_;
  QPushButton* skip_;
  QPushButton* rename_;
  QPushButton* cancel_;
};

}  // namespace sorabu::ui
