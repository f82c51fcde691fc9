// The up, down and delete steps of the dialogs' editable lists: they act on the current entry only
// while it is selected.
#pragma once

class QListWidget;

namespace sorabu::ui {

// Moves the current entry step places (-1 up, +1 down) and keeps it current.
void MoveCurrentEntry(QListWidget* list, int step);
// Deletes the current entry; returns its row, or -1 when nothing was deleted.
int DeleteCurrentEntry(QListWidget* list);

}  // namespace sorabu::ui
