// The 情報 menu's "save" commands: the folder tree as indented text, and the list's names or full
// paths, one per line. Files are CP932 with CR LF line ends like every text the program writes.
#include <QFile>
#include <QFileInfo>
#include <QTreeWidgetItem>

#include "app/main_window.h"
#include "browser/file_view.h"
#include "browser/folder_view.h"
#include "browser/shell_namespace.h"
#include "viewer/file_info.h"

namespace sorabu::app {

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

void TreeLines(const QTreeWidgetItem* node, int depth, std::string& out) {
  out.append(static_cast<std::size_t>(depth), '\t');
  out += viewer::ToCp932(node->text(0));
  out += "\r\n";
  for (int i = 0; i < node->childCount(); ++i) TreeLines(node->child(i), depth + 1, out);
}

}  // namespace

bool TForm1::WriteTextFile(const QString& path, const std::string& bytes) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      f.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()) || !f.flush()) {
    dialogs_.Error(viewer::ToCp932(f.errorString() + U(": ") + path));
    return false;
  }
  return true;
}

std::optional<QString> TForm1::AskSavePath(const char* title) {
  const QString folder = FileView1_->Folder();
  const QString start = browser::IsVirtual(folder) ? QString() : folder;
  const QString name = browser::DisplayName(folder) + QStringLiteral(".txt");
  const auto answer = dialogs_.SaveFileName(viewer::ToCp932(U(title)), viewer::ToCp932(start), viewer::ToCp932(name));
  if (!answer || answer->empty()) return std::nullopt;
  return viewer::FromCp932(*answer);
}

void TForm1::MsavetreeClick() {
  const auto path = AskSavePath("現在表示のフォルダーツリー名を保存");
  if (!path) return;
  std::string text;
  for (int i = 0; i < FolderView1_->topLevelItemCount(); ++i) TreeLines(FolderView1_->topLevelItem(i), 0, text);
  WriteTextFile(*path, text);
  RebuildBrowser();
}

void TForm1::SaveNames(bool fullPaths) {
  const auto path = AskSavePath("現在表示のフォルダーのファイル名を保存");
  if (!path) return;
  std::string text;
  for (int r = 0; r < FileView1_->RowCount(); ++r) {
    const browser::TFileRow& row = FileView1_->Row(r);
    text += viewer::ToCp932(fullPaths && !row.path.isEmpty() ? row.path : row.name);
    text += "\r\n";
  }
  const bool ok = WriteTextFile(*path, text);
  if (ok && OptionValue(Option::Mdialogdisp1)) dialogs_.Information(viewer::ToCp932(*path + U(" に保存しました。")));
  RebuildBrowser();
}

}  // namespace sorabu::app
