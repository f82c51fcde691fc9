// The 情報 menu's "save" commands: the folder tree as indented text, and the list's names or full
// paths, one per line. Files are CP932 with CR LF line ends like every text the program writes.
#include <QFile>
#include <cerrno>
#include <algorithm>
#include <QFileInfo>
#include <QTreeWidgetItem>

#include "app/main_window.h"
#include "browser/file_view.h"
#include "browser/folder_view.h"
#include "browser/shell_namespace.h"
#include "uitext/qt_text.h"
#include "viewer/file_info.h"

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

std::optional<std::vector<std::string>> TForm1::NameLines(const QStringList& lines) {
  std::vector<std::string> out;
  QStringList misfits;
  for (const QString& line : lines) {
    bool fits = true;
    out.push_back(uitext::ToCp932Text(line, &fits));
    if (!fits) misfits << line.trimmed();
  }
  if (misfits.isEmpty()) return out;
  const qsizetype shown = std::min<qsizetype>(misfits.size(), 10);
  QString text = U("次の名前には Shift-JIS で表せない文字があるため、Shift-JIS のテキストにできません。"
                   "名前を変えずに残すため、何も書きませんでした。\n");
  for (qsizetype i = 0; i < shown; ++i) text += QStringLiteral("\n") + misfits[i];
  if (misfits.size() > shown) text += U("\nほか %1 個").arg(misfits.size() - shown);
  dialogs_.Warning(uitext::ToCp932(text));
  return std::nullopt;
}

bool TForm1::WriteTextFile(const QString& path, const std::string& bytes) {
  // Opening a named pipe to write waits for a reader, and the window would stand still; a device
  // or a socket is no text file either.
  if (const QString kind = viewer::SpecialFileKind(path); !kind.isEmpty()) {
    dialogs_.Error(uitext::ToCp932(path + U(" は") + kind + U("のため、書き込みませんでした。")));
    return false;
  }
  QFile f(path);
  errno = 0;
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      f.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()) || !f.flush()) {
    dialogs_.Error(uitext::ToCp932(path + U(" に書き込めません: ") + uitext::SystemErrorQt(errno)));
    return false;
  }
  return true;
}

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
  if (const auto lines = NameLines(tree)) WriteTextFile(*path, Joined(*lines));
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
  const auto lines = NameLines(names);
  const bool ok = lines && WriteTextFile(*path, Joined(*lines));
  if (ok && OptionValue(Option::Mdialogdisp1)) dialogs_.Information(uitext::ToCp932(*path + U(" に保存しました。")));
  RebuildBrowser();
}

}  // namespace sorabu::app
