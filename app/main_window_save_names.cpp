// The 情報 menu's "save" commands: the folder tree as indented text, and the list's names or full
// paths, one per line. Files are CP932 with CR LF line ends like every text the program writes.
#include <QTreeWidgetItem>

#include "app/main_window.h"
#include "app/name_lines.h"
#include "browser/file_view.h"
#include "browser/folder_view.h"
#include "browser/shell_namespace.h"
#include "uitext/qt_text.h"

namespace sorabu::app {

namespace {

using uitext::U;

void TreeLines(const QTreeWidgetItem* node, int depth, QStringList& out) {
  out << QString(depth, QLatin1Char('\t')) + node->text(0);
  for (int i = 0; i < node->childCount(); ++i) TreeLines(node->child(i), depth + 1, out);
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

}  // namespace

std::optional<QString> TForm1::AskSavePath(const char* title) {
  const QString folder = FileView1_->Folder();
  const QString start = browser::IsVirtual(folder) ? QString() : folder;
  const QString name = browser::DisplayName(folder) + QStringLiteral(".txt");
  const auto answer = dialogs_.SaveFileName(uitext::ToCp932(U(title)), uitext::ToCp932(start), uitext::ToCp932(name));
  if (!answer || answer->empty()) return std::nullopt;
  return uitext::FromCp932(*answer);
}

void TForm1::MsavetreeClick() {
  const auto path = AskSavePath("現在表示のフォルダーツリー名を保存");
  if (!path) return;
  QStringList tree;
  for (int i = 0; i < FolderView1_->topLevelItemCount(); ++i) TreeLines(FolderView1_->topLevelItem(i), 0, tree);
  if (const auto lines = NameLines(dialogs_, tree)) WriteTextFile(dialogs_, *path, Joined(*lines));
  RebuildBrowser();
}

void TForm1::SaveNames(bool fullPaths) {
  const auto path = AskSavePath("現在表示のフォルダーのファイル名を保存");
  if (!path) return;
  FileView1_->WaitLoaded();
  QStringList names;
  for (int r = 0; r < FileView1_->RowCount(); ++r) {
    const browser::TFileRow& row = FileView1_->Row(r);
    names << (fullPaths && !row.path.isEmpty() ? row.path : row.name);
  }
  const auto lines = NameLines(dialogs_, names);
  const bool ok = lines && WriteTextFile(dialogs_, *path, Joined(*lines));
  if (ok && OptionValue(Option::Mdialogdisp1)) dialogs_.Information(uitext::ToCp932(*path + U(" に保存しました。")));
  RebuildBrowser();
}

}  // namespace sorabu::app
