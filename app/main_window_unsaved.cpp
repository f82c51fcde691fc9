// Unsaved edits in the pane are never thrown away without a question. Whatever would replace the
// pane (another file selected, another folder, V, a command, Grep, a listing, the close) asks
// first through PaneMayChange: 保存 saves as Ctrl+S does, 保存しない lets the change go on,
// キャンセル keeps the pane and puts the selection back on the edited file.
#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include "app/browser_selection.h"
#include "app/main_window.h"
#include "browser/file_view.h"
#include "uitext/qt_text.h"
#include "viewer/display.h"
#include "viewer/text_pane.h"

namespace sorabu::app {

bool TForm1::PaneMayChange() {
  if (edit_.holdingPane) return false;
  if (!viewer_->Edited()) return true;
  if (edit_.askingToSave) return false;
  edit_.askingToSave = true;
  const auto choice = dialogs_.SaveChanges(uitext::ToCp932(QStringLiteral("ソラブ")),
                                           uitext::ToCp932(QStringLiteral("変更を保存しますか?")));
  edit_.askingToSave = false;
  switch (choice) {
    case dialogs::TDialogs::SaveChoice::Save:
      if (SaveEditsBeforeLeaving()) return true;
      break;
    case dialogs::TDialogs::SaveChoice::Discard:
      viewer_->DiscardEdits();
      return true;
    case dialogs::TDialogs::SaveChoice::Cancel:
      break;
  }
  // Put back what the change moved, once the change that asked has run its course; until then
  // the rest of that change leaves the pane alone without asking again.
  edit_.holdingPane = true;
  QTimer::singleShot(0, this, [this] { RestoreEditedSelection(); });
  return false;
}

bool TForm1::SaveEditsBeforeLeaving() {
  const QString edited = viewer_->EditedPath();
  const bool whole = !edited.isEmpty() && !RichEdit1_->WholeFile().isEmpty() &&
                     QDir::cleanPath(RichEdit1_->WholeFile()) == QDir::cleanPath(edited);
  QString target = edited;
  if (!whole) {
    // Not the whole of a file (a part, a listing, a new text): a name is asked for, as Ctrl+S
    // does where it cannot overwrite.
    const QFileInfo info(edited);
    const QString folder = edited.isEmpty() ? FileView1_->Folder() : info.absolutePath();
    const auto answer = dialogs_.SaveFileName(uitext::ToCp932(QStringLiteral("テキストに名前を付けて保存")),
                                              uitext::ToCp932(folder), uitext::ToCp932(info.fileName()));
    if (!answer) return false;
    target = uitext::FromCp932(*answer);
    if (!edited.isEmpty() && !whole && QDir::cleanPath(QFileInfo(target).absoluteFilePath()) == QDir::cleanPath(edited)) {
      dialogs_.Warning(uitext::ToCp932(QStringLiteral(
          "表示しているのはファイルの一部か別の内容です。上書きするとファイルの残りが失われるため保存しません。")));
      return false;
    }
  }
  if (!SavePane(target, OptionValue(Option::Mbackup1))) return false;
  viewer_->MarkSaved();
  return true;
}

void TForm1::RestoreEditedSelection() {
  const QString edited = viewer_->EditedPath();
  if (!viewer_->Edited() || edited.isEmpty()) {
    edit_.holdingPane = false;
    return;
  }
  edit_.holdingPane = true;
  edit_.restoringSelection = true;
  const QString folder = QFileInfo(edited).absolutePath();
  if (QDir::cleanPath(FileView1_->Folder()) != QDir::cleanPath(folder) && QFileInfo(folder).isDir()) GoToFolder(folder);
  if (QDir::cleanPath(selection_->SelectedPath()) != QDir::cleanPath(edited)) {
    const bool gate = state_.DisplayEnabled;
    state_.DisplayEnabled = false;
    selection_->SelectByName(QFileInfo(edited).fileName());
    state_.DisplayEnabled = gate;
  }
  edit_.restoringSelection = false;
  edit_.holdingPane = false;
}

}  // namespace sorabu::app
