// The properties of one file: its labelled rows (name, folder, type, size, dates, permissions,
// owner, link target), each value selectable for copying.
#pragma once

#include <QDialog>

#include "dialogs/dialogs.h"

class QFormLayout;

namespace sorabu::ui {

class TPropertiesDialog : public QDialog {
  Q_OBJECT
 public:
  explicit TPropertiesDialog(const dialogs::TDialogs::PropertiesSetup& setup, QWidget* parent = nullptr);

  QFormLayout* Rows() const { return rows_; }

 private:
  QFormLayout* rows_;
};

}  // namespace sorabu::ui
