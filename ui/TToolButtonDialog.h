// "ツールボタンの設定": two tabs, "メイン" and "ビュー", each a check list of its tool bar's buttons;
// "全て表示(&A)" checks every row, OK hands the rows' states back.
#pragma once

#include <QDialog>

#include "dialogs/dialogs.h"

class QLabel;
class QListWidget;
class QPushButton;
class QTabWidget;

namespace sorabu::ui {

class TToolButtonDialog : public QDialog {
  Q_OBJECT
 public:
  explicit TToolButtonDialog(const dialogs::TDialogs::ToolButtonSetup& setup, QWidget* parent = nullptr);

  QTabWidget* Tabs() const { return tabs_; }
  QListWidget* MainList() const { return main_; }
  QListWidget* ViewList() const { return view_; }
  QLabel* Label() const { return label_; }
  QPushButton* ShowAllButton() const { return all_; }

  dialogs::TDialogs::ToolButtonAnswer Answer() const;

 private:
  QTabWidget* tabs_;
  QListWidget* main_;
  QListWidget* view_;
  QLabel* label_;
  QPushButton* all_;
};

}  // namespace sorabu::ui
