// The drive information, the two directory listings and the file properties of the 情報 menu.
// The listing runs "sorabu-cli dir" beside the window; its output replaces the pane when it ends.
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QMenu>

#include "app/browser_selection.h"
#include "app/dir_runner.h"
#include "app/main_window.h"
#include "app/menu_items.h"
#include "browser/folder_view.h"
#include "browser/shell_namespace.h"
#include "info/drive_figures.h"
#include "info/file_properties.h"
#include "settings/ini_file.h"
#include "settings/input_history.h"
#include "uitext/qt_text.h"
#include "viewer/display.h"
#include "viewer/text_pane.h"
#include "uitext/japanese_locale.h"

namespace sorabu::app {

namespace {

std::string C(const char* utf8) { return uitext::ToCp932(QString::fromUtf8(utf8)); }
std::string Native(const QString& path) { return QFile::encodeName(path).toStdString(); }

constexpr int kDirHistoryWritten = 10;

}  // namespace

void TForm1::BuildDriveCommands() {
  dir_.runner = new TDirRunner(this);
  connect(dir_.runner, &TDirRunner::Finished, this, &TForm1::DirListingFinished);
  static const MenuItemSpec kItems[] = {
      {},
      {"MdriveInfo", "MdriveInfo2", "ドライブ情報表示(&I)", &TForm1::MdriveInfoClick},
      {"Mdircommand1", "Mdircommand3", "dirコマンド-ダイレクト(&R)", &TForm1::Mdircommand1Click},
      {"Mdircommand2", "Mdircommand4", "dirコマンド-詳細(&A)", &TForm1::Mdircommand2Click},
      {"Mfileinfo1", "Mfileinfo2", "ファイルのプロパティ(&F)", &TForm1::Mfileinfo1Click},
  };
  InsertTwins(*this, menus_.info, TMenuEnd::Back, kItems);
}

void TForm1::MdriveInfoClick() {
  const QString folder = FolderView1_->SelectedPath();
  if (folder.isEmpty() || browser::IsVirtual(folder)) return;
  const auto figures = info::QueryDriveFigures(Native(folder));
  if (!figures) return;
  const info::DriveTexts t = info::MakeDriveTexts(uitext::ToCp932(browser::DriveOf(folder)), *figures,
                                                  uitext::ToCp932(uitext::JapaneseLocale().groupSeparator()));
  dialogs_.DriveInfo({t.caption, t.seriesTitle, t.chartTitle, t.summary, t.clusters, t.note, t.usedLabel, t.freeLabel,
                      figures->usedBytes, figures->freeBytes});
}

void TForm1::Mdircommand1Click() {
  const std::string answer = settings::AskWithHistory(dialogs_, iniPath_, "DirSet", C("フォルダーの指定"),
                                            C("フォルダーの指定　例)　a:\\sorabu"), "",
                                            uitext::ToCp932(FolderView1_->SelectedPath()));
  if (!answer.empty()) RunDirListing(answer);
}

void TForm1::Mdircommand2Click() {
  dialogs::TDialogs::DirCommandSetup setup;
  setup.folder = uitext::ToCp932(FolderView1_->SelectedPath());
  std::vector<std::string> history = settings::LoadHistory(settings::TIniFile(iniPath_), "LHA");
  setup.history = history;
  const auto answer = dialogs_.DirCommand(setup);
  if (!answer) return;
  if (!answer->path.empty()) {
    settings::TIniFile ini(iniPath_);
    settings::StoreHistory(ini, "LHA", history, answer->path, "DriveCount", kDirHistoryWritten);
    if (!ini.UpdateFile()) dialogs_.Error(ini.Error());
  }
  RunDirListing(answer->arguments + " ");
}

void TForm1::RunDirListing(const std::string& arguments) {
  if (dir_.runner->Running()) return;
  if (!viewer_->ClearTextPane()) return;
  std::string why;
  QString folder = FolderView1_->SelectedPath();
  if (folder.isEmpty() || browser::IsVirtual(folder)) folder = QString();
  if (!dir_.runner->Start(arguments, folder, why)) {
    dialogs_.Error(why);
    return;
  }
  dir_.arguments = arguments;
  QApplication::setOverrideCursor(Qt::BusyCursor);
}

bool TForm1::DirListingRunning() const { return dir_.runner && dir_.runner->Running(); }

void TForm1::DirListingFinished(const QByteArray& output, const QByteArray& errors) {
  QApplication::restoreOverrideCursor();
  if (closing_) return;
  // The listing is also kept as a file beside the settings, as the earlier programs left it.
  QString tmp = QFile::decodeName(QByteArray::fromStdString(iniPath_));
  tmp = tmp.left(tmp.lastIndexOf(QLatin1Char('.')) > tmp.lastIndexOf(QLatin1Char('/')) ? tmp.lastIndexOf(QLatin1Char('.'))
                                                                                           : tmp.size()) +
        QStringLiteral(".tmp");
  QFile file(tmp);
  if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(output);
  RichEdit1_->TakeBytes(output.toStdString());
  std::vector<std::string> problems;
  for (const QByteArray& line : errors.split('\n'))
    if (!line.trimmed().isEmpty()) problems.push_back(uitext::ToCp932(QString::fromUtf8(line)));
  if (!problems.empty()) RichEdit1_->AddLines(problems);
  LFilestring_->setText(uitext::FromCp932("dir   " + dir_.arguments + C("   の結果")));
  emit DirListingDone();
}

void TForm1::Mfileinfo1Click() {
  const QString path = selection_->SelectedPath();
  if (path.isEmpty()) return;
  info::FileProperties p = info::ReadFileProperties(Native(path));
  if (p.caption.empty()) return;
  dialogs_.Properties({std::move(p.caption), std::move(p.rows)});
}

}  // namespace sorabu::app
