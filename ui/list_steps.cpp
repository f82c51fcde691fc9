#include "ui/list_steps.h"

#include <QListWidget>

namespace sorabu::ui {

namespace {
bool CurrentSelected(QListWidget* list) {
  return list->currentRow() >= 0 && list->currentItem()->isSelected();
}
}  // namespace

void MoveCurrentEntry(QListWidget* list, int step) {
  const int row = list->currentRow();
  const int to = row + step;
  if (!CurrentSelected(list) || to < 0 || to >= list->count()) return;
  QListWidgetItem* item = list->takeItem(row);
  list->insertItem(to, item);
  list->setCurrentRow(to);
}

int DeleteCurrentEntry(QListWidget* list) {
  if (!CurrentSelected(list)) return -1;
  const int row = list->currentRow();
  delete list->takeItem(row);
  return row;
}

}  // namespace sorabu::ui
