// The main window's side of the file browser: the links between combo, tree and list, what the
// window does when the folder or the selection changes, going to a folder, the full refresh, and
// the browser commands of the menus and the tool bar.
//
// Every move the program makes itself runs with DisplayEnabled off, so that only the user's own
// selections load a file into the pane.
#include <unistd.h>

#include <QAbstractItemView>
#include <QListView>
#include <QTreeView>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>
#include <QUrl>

#include "app/browser_selection.h"
#include "app/main_window.h"
#include "app/menu_items.h"
#include "app/name_lines.h"
#include "app/wait_cursor.h"
#include "browser/combo_view.h"
#include "browser/file_view.h"
#include "browser/folder_counter.h"
#include "browser/folder_view.h"
#include "browser/mask.h"
#include "browser/shell_namespace.h"
#include "settings/input_history.h"
#include "uitext/qt_text.h"
#include "viewer/display.h"
#include "viewer/text_pane.h"

namespace sorabu::app {

namespace {

using uitext::U;
std::string C(const char* utf8) { return uitext::ToCp932(U(utf8)); }

// Shuts the display gate for the program's own moves and opens it again afterwards.
class TGateShut {
 public:
  explicit TGateShut(settings::TWindowState& state) : state_(state) { state_.DisplayEnabled = false; }
  ~TGateShut() { state_.DisplayEnabled = true; }

 private:
  settings::TWindowState& state_;
};

void MakeCurrentDirectory(const QString& folder) {
  // A failure is ignored: the browser shows the folder all the same.
  if (!folder.isEmpty() && !browser::IsVirtual(folder)) (void)QDir::setCurrent(folder);
}

}  // namespace

void TForm1::SetupBrowser() {
  FolderView1_->SetFileView(FileView1_);
  FolderView1_->SetComboView(ComboView1_);
  connect(FolderView1_, &browser::TFolderView::FolderChanged, this, &TForm1::FolderView1Change);
  connect(ComboView1_, &browser::TComboView::Picked, this, &TForm1::ComboView1Change);
  connect(FileView1_, &browser::TFileView::Changed, viewer_, &viewer::TViewer::FileView1Change);
  connect(FileView1_, &browser::TFileView::Renamed, this, [this](const QString& from, const QString& to, bool folder) {
    if (folder) FolderView1_->FolderRenamed(from, to);
  });
  connect(FolderView1_, &browser::TFolderView::FilesDropped, this, &TForm1::FolderView1DragDrop);
  for (QAbstractItemView* v : {static_cast<QAbstractItemView*>(FileView1_->ListView()),
                               static_cast<QAbstractItemView*>(FileView1_->DetailView())}) {
    v->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(v, &QWidget::customContextMenuRequested, this,
            [this, v](const QPoint& pos) { FileView1ContextMenu(v->viewport()->mapToGlobal(pos)); });
  }
  connect(counter_, &browser::TFolderCounter::Counted, this,
          [this](const QString& folder, quint64 files, quint64 bytes) { selection_->ShowCounts(folder, files, bytes); });
  BuildBrowserCommands();
  BuildFileOperations();
  BuildEditCommands();
  BuildPrintCommands();
  BuildSearchCommands();
  BuildArchiveCommands();
  BuildPickerCommands();
  BuildInfoCommands();
  BuildDriveCommands();
}

void TForm1::BuildBrowserCommands() {
  auto button = [&](const char* name, QStyle::StandardPixmap icon, void (TForm1::*slot)()) {
    return ToolButton(*this, ToolBar1_, name, icon, slot);
  };
  button("ToolButton38", QStyle::SP_DriveHDIcon, &TForm1::MdriveClick);
  button("ToolButton55", QStyle::SP_FileDialogToParent, &TForm1::ToolButton55Click);
  button("ToolButton41", QStyle::SP_DirOpenIcon, &TForm1::MfolderClick);
  toolButtons_.ToolButton12 = button("ToolButton12", QStyle::SP_FileDialogInfoView, &TForm1::MextClick);
  toolButtons_.ToolButton12->setCheckable(true);
  button("ToolButton46", QStyle::SP_ArrowDown, &TForm1::MsortClick);
  auto* styles = new QActionGroup(this);
  const std::tuple<const char*, QStyle::StandardPixmap, void (TForm1::*)()> kStyles[] = {
      {"ToolButton13", QStyle::SP_FileDialogContentsView, &TForm1::MbigiconClick},
      {"ToolButton22", QStyle::SP_FileDialogListView, &TForm1::MsmalliconClick},
      {"ToolButton27", QStyle::SP_FileDialogListView, &TForm1::MlistClick},
      {"ToolButton28", QStyle::SP_FileDialogDetailedView, &TForm1::MreportClick}};
  for (const auto& [name, icon, slot] : kStyles) {
    QAction* a = button(name, icon, slot);
    a->setCheckable(true);
    styles->addAction(a);
  }
  button("ToolButton34", QStyle::SP_MediaPlay, &TForm1::MfileexeClick);

  static const MenuItemSpec kView[] = {
      {"Mrefresh", "Mrefresh1", "最新の情報に更新", &TForm1::MrefreshClick},
      {"Mdrive", "Mdrive1", "ドライブの指定(&V)", &TForm1::MdriveClick},
      {"Mfolder", "Mfolder1", "フォルダーの指定(&F)", &TForm1::MfolderClick},
      {"Mext", "Mext1", "拡張子の指定(&W)", &TForm1::MextClick},
      {"Msort", "Msort1", "ファイルの並び替え(&S)", &TForm1::MsortClick},
      {"Mroot", "Mroot1", "ルートフォルダーを表示(&D)", &TForm1::MrootClick},
      {},
      {"Mbigicon", "Mbigicon1", "大きいアイコン", &TForm1::MbigiconClick},
      {"Msmallicon", "Msmallicon1", "小さいアイコン", &TForm1::MsmalliconClick},
      {"Mlist", "Mlist1", "一覧", &TForm1::MlistClick},
      {"Mreport", "Mreport1", "詳細", &TForm1::MreportClick},
      {},
  };
  InsertTwins(*this, menus_.view, TMenuEnd::Front, kView);
  for (const bool popup : {false, true}) {
    auto* group = new QActionGroup(this);
    for (const char* name : {"Mbigicon", "Msmallicon", "Mlist", "Mreport"}) {
      QAction* a = Action(popup ? (std::string(name) + "1").c_str() : name);
      a->setCheckable(true);
      group->addAction(a);
    }
  }
  MakeAction(*this, Mfileviewcolum_, "Mcolumdefault", "初期値(&Z)", &TForm1::McolumdefaultClick);
  MakeAction(*this, Mfileviewcolum_, "Mcolumauto", "自動幅(&X)", &TForm1::McolumautoClick);
  MakeAction(*this, Mfileviewcolum_, "Mcolumnameauto", "ファイル名自動幅(&E)", &TForm1::McolumnameautoClick);

  static const MenuItemSpec kInfo[] = {
      {"Mnameonly", "Mnameonly1", "ファイル名-ファイル名のみ(&N)", &TForm1::MnameonlyClick},
      {"Mfullpath", "Mfullpath1", "ファイル名-フルパス(&P)", &TForm1::MfullpathClick},
      {"Mcurrentfile", "Mcurrentfile1", "ファイル名-現在表示のファイル(&C)", &TForm1::McurrentfileClick},
      {"Msavetree", "Msavetree1", "フォルダー名の保存(&D)", &TForm1::MsavetreeClick},
  };
  InsertTwins(*this, menus_.info, TMenuEnd::Back, kInfo);
  for (const bool p : {false, true}) {
    QMenu* m = p ? menus_.info.popup : menus_.info.main;
    auto name = [p](const char* n) { return p ? std::string(n) + "1" : std::string(n); };
    QAction* current = Action(name("Mcurrentfile").c_str());
    connect(m, &QMenu::aboutToShow, this, [this, current] { current->setEnabled(FileView1_->SelectedCount() > 0); });
    QMenu* save = new QMenu(U("ファイル名の保存(&O)"), m);
    save->setObjectName(QString::fromStdString(name("Msavefilename")));
    m->addMenu(save);
    MakeAction(*this, save, name("Msavename").c_str(), "名前のみ", &TForm1::MsavenameClick);
    MakeAction(*this, save, name("Msavepath").c_str(), "ﾊﾟｽと名前", &TForm1::MsavepathClick);
    MakeAction(*this, save, name("Mcopypath").c_str(), "パスをクリップボードにコピー", &TForm1::McopypathClick);
  }
  static const MenuItemSpec kFile[] = {
      {"Mfileexe", "Mfileexe1", "ファイル　実行(&E)", &TForm1::MfileexeClick, nullptr, "ファイルを実行(&S)"}};
  InsertTwins(*this, menus_.file, TMenuEnd::Front, kFile);

  AddShortcuts(*this, menus_.shortcuts, {{"Myb", "BS 一つ上のディレクトリへ移動", &TForm1::MybClick},
                {"Myy", "&\\ ルートフォルダーに移動", &TForm1::MyyClick},
                {"Mye", "Enter サブディレクトリを開く", &TForm1::MyeClick},
                {"Myh", "HOME 一番上のファイル", &TForm1::MyhClick}});
}

void TForm1::FolderView1Change() {
  if (!state_.DisplayEnabled) return;
  if (!viewer_->ClearTextPane()) return;
  const QString path = FolderView1_->SelectedPath();
  if (!path.isEmpty()) {
    counter_->Invalidate();
    selection_->UpdateCounts();
    MakeCurrentDirectory(path);
  }
  QTreeWidgetItem* node = FolderView1_->currentItem();
  if (OptionValue(Option::Msubfolderview1) && node && !node->isExpanded()) {
    node->setExpanded(true);
    FolderView1_->scrollToItem(node);
  }
}

void TForm1::ComboView1Change() {
  if (state_.DisplayEnabled) viewer_->ClearTextPane();
}

void TForm1::FinishNavigation() {
  if (FileView1_->RowCount() > 0) FileView1_->SelectRow(0);
  counter_->Invalidate();
  selection_->UpdateCounts();
  MakeCurrentDirectory(FolderView1_->SelectedPath());
}

bool TForm1::GoToFolder(const QString& folder) {
  if (!edit_.restoringSelection && !PaneMayChange()) return false;
  TGateShut gate(state_);
  TWaitCursor wait;
  if (FolderView1_->topLevelItemCount() == 0) RebuildBrowser();
  state_.DisplayEnabled = false;
  const QString target = browser::IsVirtual(folder) ? folder : QDir::cleanPath(QDir(folder).absolutePath());
  const bool ok = FolderView1_->SelectPath(target);
  viewer_->ClearTextPane();
  FinishNavigation();
  return ok;
}

void TForm1::RebuildBrowser() {
  TGateShut gate(state_);
  QString path = FolderView1_->SelectedPath();
  if (path.isEmpty()) path = FileView1_->Folder();
  FolderView1_->SetComboView(nullptr);
  FolderView1_->SetFileView(nullptr);
  browser::RefreshDrives();
  if (!FileView1_->Folder().isEmpty()) FileView1_->Fill();
  ComboView1_->Load();
  FolderView1_->Rebuild();
  if (!path.isEmpty()) FolderView1_->SelectPath(path);
  FolderView1_->SetFileView(FileView1_);
  FolderView1_->SetComboView(ComboView1_);
  const QString now = FolderView1_->SelectedPath();
  // The folder may have vanished since: the list follows the tree, wherever that ended.
  if (now != FileView1_->Folder()) FileView1_->SetFolder(now);
  ComboView1_->Sync(now);
  if (FolderView1_->currentItem()) FolderView1_->scrollToItem(FolderView1_->currentItem());
}

void TForm1::MrefreshClick() {
  // The refresh forgets the selection and the pane: unsaved edits are asked about first.
  if (!PaneMayChange()) return;
  state_.DisplayEnabled = true;
  state_.ShiftDown = false;
  RebuildBrowser();
  viewer_->ShowFileInfo();
  counter_->Invalidate();
  selection_->UpdateCounts();
}

void TForm1::SetFileViewStyle(browser::TViewStyle style) { ApplyFileViewStyle(style); }

void TForm1::ToolButton55Click() {
  const QString current = FolderView1_->SelectedPath();
  if (current.isEmpty() || browser::IsVirtual(current)) return;
  GoToFolder(browser::ParentFolder(current));
}

void TForm1::MyyClick() {
  const QString current = FolderView1_->SelectedPath();
  if (current.isEmpty() || browser::IsVirtual(current)) return;
  GoToFolder(browser::DriveOf(current));
}

void TForm1::MyeClick() {
  if (FileView1_->RowCount() == 0) return;
  const QString path = FileView1_->SelectedPath();
  if (!path.isEmpty() && QFileInfo(path).isDir()) GoToFolder(path);
}

void TForm1::MyhClick() {
  if (FileView1_->RowCount() == 0) return;
  TGateShut gate(state_);
  FileView1_->SelectRow(0);
  selection_->UpdateCounts();
}

void TForm1::MfileexeClick() {
  const QString path = FileView1_->SelectedPath();
  QString folder = FolderView1_->SelectedPath();
  if (path.isEmpty() || browser::IsVirtual(folder)) return;
  if (!QDir::setCurrent(folder)) {
    dialogs_.Error(uitext::ToCp932(U("フォルダーに移動できません: ") + folder));
    return;
  }
  if (QFileInfo(path).isExecutable() && !QFileInfo(path).isDir()) launcher_(path, {}, folder);
  else FileView1_->ExecuteRow(FileView1_->CurrentRow());
}

namespace {
// One character names a drive: the volume whose mount point's last name or display name starts
// with it ("/" when none does).
QString DriveForLetter(const QString& letter) {
  for (const QString& drive : browser::Drives()) {
    const QString last = drive.section(QLatin1Char('/'), -1);
    if (last.startsWith(letter, Qt::CaseInsensitive) || browser::DisplayName(drive).startsWith(letter, Qt::CaseInsensitive))
      return drive;
  }
  return QStringLiteral("/");
}
}  // namespace

void TForm1::MdriveClick() {
  const QString current = FolderView1_->SelectedPath();
  std::vector<std::string> drives;
  for (const QString& d : browser::Drives()) drives.push_back(uitext::ToCp932(d));
  const QString currentDrive = browser::IsVirtual(current) ? QStringLiteral("/") : browser::DriveOf(current);
  const auto answer = dialogs_.ChooseDrive(drives, uitext::ToCp932(currentDrive));
  if (!answer || answer->empty()) return;
  QString target = uitext::FromCp932(*answer);
  if (!target.startsWith(QLatin1Char('/'))) target = DriveForLetter(target.left(1));
  if (target != current) GoToFolder(target);
}

void TForm1::MsortClick() {
  const auto answer = dialogs_.ChooseSort();
  if (!answer) return;
  TGateShut gate(state_);
  FileView1_->SortBy(*answer);
}

void TForm1::MfolderClick() {
  const QString current = FolderView1_->SelectedPath();
  const std::string answer = settings::AskWithHistory(dialogs_, iniPath_, "FolderSet", C("フォルダーの指定"),
                                            C("フォルダーの指定　例)　a:\\sorab"), "", uitext::ToCp932(current));
  if (answer.empty()) return;
  QString target = uitext::FromCp932(answer);
  if (target == current) return;
  if (target.size() == 1) target = DriveForLetter(target);
  GoToFolder(target);
}

void TForm1::MextClick() {
  const std::string answer = settings::AskWithHistory(dialogs_, iniPath_, "Ext", C("拡張子の指定"),
                                            C("拡張子を指定します。例) txt;bmp"), "", "*");
  if (answer.empty()) {
    // Cancel changes nothing; so does an answer left empty, which the history dialog cannot tell apart.
    toolButtons_.ToolButton12->setChecked(!FileView1_->Mask().empty());
    return;
  }
  // The mask is compared with file-system names, which are UTF-8 bytes, not CP932.
  std::vector<std::string> mask = browser::ParseMaskAnswer(uitext::FromCp932(answer).toStdString());
  const bool masked = !mask.empty();
  FileView1_->SetMask(std::move(mask));
  toolButtons_.ToolButton12->setChecked(masked);
  TGateShut gate(state_);
  FileView1_->Fill();
  viewer_->ClearTextPane();
  FinishNavigation();
}

void TForm1::MbigiconClick() { SetFileViewStyle(browser::TViewStyle::LargeIcons); }
void TForm1::MsmalliconClick() { SetFileViewStyle(browser::TViewStyle::SmallIcons); }
void TForm1::MlistClick() { SetFileViewStyle(browser::TViewStyle::List); }
void TForm1::MreportClick() { SetFileViewStyle(browser::TViewStyle::Details); }

void TForm1::McolumdefaultClick() { FileView1_->ColumnWidthsToHeaders(); }
void TForm1::McolumautoClick() { FileView1_->FitColumnsToContents(false); }
void TForm1::McolumnameautoClick() { FileView1_->FitColumnsToContents(true); }

void TForm1::MnameonlyClick() {
  FileView1_->WaitLoaded();
  if (FileView1_->RowCount() == 0) return;
  QStringList names;
  for (int r = 0; r < FileView1_->RowCount(); ++r) names << FileView1_->Row(r).name;
  ShowNameLines(names);
}

void TForm1::MfullpathClick() {
  FileView1_->WaitLoaded();
  if (FileView1_->RowCount() == 0) return;
  QStringList paths;
  for (int r = 0; r < FileView1_->RowCount(); ++r) {
    const browser::TFileRow& row = FileView1_->Row(r);
    paths << (row.path.isEmpty() ? row.name : row.path);
  }
  ShowNameLines(paths);
}

void TForm1::ShowNameLines(const QStringList& names) {
  const auto lines = NameLines(dialogs_, names);
  if (!lines || !viewer_->ClearTextPane()) return;
  for (const std::string& line : *lines) RichEdit1_->AddLine(line);
}

void TForm1::McurrentfileClick() {
  if (FileView1_->RowCount() == 0) return;
  const QString info = viewer_->InfoText();
  if (info.isEmpty()) {
    viewer_->ClearTextPane();
    return;
  }
  ShowNameLines({info});
}

void TForm1::McopypathClick() {
  const QString path = FileView1_->SelectedPath();
  if (!path.isEmpty()) QApplication::clipboard()->setText(path);
}


}  // namespace sorabu::app
