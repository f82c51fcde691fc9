#include "ui/history_combo.h"

#include <QComboBox>

#include "uitext/qt_text.h"

namespace sorabu::ui {

QComboBox* NewHistoryCombo(QWidget* parent, const char* objectName, const std::vector<std::string>& history,
                           const std::string& text) {
  auto* combo = new QComboBox(parent);
  combo->setObjectName(QString::fromLatin1(objectName));
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);
  combo->setMinimumWidth(300);
  for (const std::string& h : history) combo->addItem(uitext::FromCp932(h));
  // Filling an editable combo shows its first entry; the proposed text is what stands.
  combo->setEditText(uitext::FromCp932(text));
  return combo;
}

}  // namespace sorabu::ui
