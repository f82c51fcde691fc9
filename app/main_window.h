// TForm1, the main window: a drive combo above a folder tree on the left, a file list above the
// text pane on the right, two tool bars and two status bars. The class is written across the
// main_window_*.cpp files, one concern each; below, after what every part shares, comes one block
// per file in the files' order, each naming its file, with the menu handlers that file holds.
#pragma once

#include <QDate>
#include <QFileInfo>
#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/archive_extract.h"
#include "app/grep_runner.h"
#include "app/main_widgets.h"
#include "app/main_window_state.h"
#include "app/window_options.h"
#include "archive/bind/archive_file.h"
#include "dialogs/dialogs.h"
#include "settings/window_state.h"

class QByteArray;
class QKeyEvent;
class QPrinter;

namespace sorabu::settings { class TIniFile; }
namespace sorabu::viewer { class TViewer; }
namespace sorabu::browser { class TFolderWatch; }
namespace sorabu::fileops { class TSHFOP; }
namespace sorabu::textcmd { struct TCommand; }
namespace sorabu::custom { struct TToolButtonInfo; }

namespace sorabu::app {

class TBrowserSelection;
class TCommandRunner;
class TDirRunner;
class TFileOpRunner;
class TSystemServices;

class TForm1 : public QMainWindow, public TMainWidgets {
  Q_OBJECT
 public:
  // dialogs: where every question goes; iniPath: the settings file.
  TForm1(dialogs::TDialogs& dialogs, std::string iniPath, QWidget* parent = nullptr);
  ~TForm1() override;

  // What every part shares besides the widgets: the settings, the viewer, the selection.
  settings::TWindowState& State() { return state_; }
  const std::string& IniPath() const { return iniPath_; }
  viewer::TViewer& Viewer() { return *viewer_; }
  TBrowserSelection& Selection() { return *selection_; }
  QAction* Action(const char* name) const;  // an item or tool button by its object name

 signals:
  void FileCommandDone();
  void GrepDone();
  void DirListingDone();

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  dialogs::TDialogs& dialogs_;
  std::string iniPath_;
  settings::TWindowState state_;
  std::unique_ptr<TBrowserSelection> selection_;
  viewer::TViewer* viewer_ = nullptr;
  bool closing_ = false;  // the window is being destroyed: callbacks of a command do nothing
  bool closeWhenDone_ = false;

  // ---- main_window_archive.cpp: the 書庫 menu and the archive preview.
 public:
  // When an extraction asks before it writes far more than its archive holds (tests use small ones).
  void SetExtractLimits(const ExtractLimits& limits) { extractLimits_ = limits; }
 public slots:
  void MlhaUClick(); void MlhaPClick(); void MlhalistClick(); void MlhacommandClick(); void MlhaEClick();
  void MarcextractClick(); void MarclistClick(); void MarccreateClick(); void MarccreatepassClick(); void MycClick();
 private:
  void BuildArchiveCommands(); void EnableLhaCommands();
  QStringList SelectedNames() const; bool RoutesToLha(const QString& path) const;
  bool LhaPreview(const QString& path); bool LhaList(const char* word);
  void CreateArchive(bool withPassword); void LhaExtract(bool flat);
  using ExtractFn = std::function<int(const std::string& staging, const std::string& password, const archive::ExtractProgress&)>;
  ExtractResult ExtractBeside(const QString& title, const QString& archive, const QString& destination,
                             const ExtractFn& extract);
  ExtractLimits extractLimits_;

  // ---- main_window_browse_keys.cpp: the file list's keys (the tree shares them); true when used.
 public:
  bool FileView1KeyDown(QKeyEvent* event); void FileView1KeyUp(QKeyEvent* event);
  bool FileView1KeyPress(const QString& text);

  // ---- main_window_browser.cpp: the tree, the list and the 表示 menu's browser items.
 public:
  // Goes to a folder with the display gate shut; false (the folder kept) when it cannot be shown.
  bool GoToFolder(const QString& folder);
  void RebuildBrowser();
  void SetFileViewStyle(browser::TViewStyle style);
 public slots:
  void FolderView1Change(); void ComboView1Change(); void MrefreshClick(); void MfileexeClick();
  void ToolButton55Click(); void MybClick() { ToolButton55Click(); } void MyyClick(); void MyeClick(); void MyhClick();
  void MbigiconClick(); void MsmalliconClick(); void MlistClick(); void MreportClick();
  void MdriveClick(); void MfolderClick(); void MextClick(); void MsortClick(); void MrootClick() { MyyClick(); }
  void McolumdefaultClick(); void McolumautoClick(); void McolumnameautoClick();
  void MnameonlyClick(); void MfullpathClick(); void McurrentfileClick(); void McopypathClick();
 private:
  void SetupBrowser(); void BuildBrowserCommands(); void FinishNavigation();
  void ShowNameLines(const QStringList& names);

  // ---- main_window_commands.cpp: the file-rewriting commands of 編集, 削除, 検索 and 変換.
 public:
  // Runs that handler's command on the selected file off the UI thread, unless one runs already.
  void RunFileCommand(const std::string& handler);
  bool FileCommandRunning() const;
  void CancelFileCommand(bool wait);  // with wait, returns when the file is back as it was
 public slots:
  void Mcodehenkan1Click(); void Mcodehenkan2Click();
 private:
  void BuildCommandMenus();
  QAction* AddCommandItem(QMenu* menu, const textcmd::TCommand& command, const std::string& name, const QString& caption);
  void FileCommandFinished(); void SwitchCodeConversions(bool popup);
  std::vector<QWidget*> BrowserWidgets() const;
  TCommandRunner* runner_ = nullptr;
  TCommandProgress command_;

  // ---- main_window_custom.cpp: the application menu, the registered folders, the tool buttons.
 public slots:
  void MexesetClick(); void MfoldersetClick(); void MtoolbarsetClick(); void MtorokuClick(); void ToolButton11Click();
 public:
  // Click handlers of the items built from the settings file; the item's data is its number.
  void appexe(QAction* item); void torokufolderjump(QAction* item);
  void toolbtnset(const char* button, bool shown); void toolbtnset2(const char* button, bool shown);
 private:
  void BuildCustomCommands();
  void ArrangeToolBar(QToolBar* bar, std::span<const custom::TToolButtonInfo> buttons, int first);

  // ---- main_window_drive.cpp: drive information, the directory listings, file properties.
 public:
  bool DirListingRunning() const; TDirRunner* DirRunner() const { return dir_.runner; }
 public slots:
  void MdriveInfoClick(); void Mdircommand1Click(); void Mdircommand2Click(); void Mfileinfo1Click();
 private:
  void BuildDriveCommands();
  void RunDirListing(const std::string& arguments);
  void DirListingFinished(const QByteArray& output, const QByteArray& errors);
  TDirListing dir_;

  // ---- main_window_drops.cpp: drag and drop, and the list's context menu.
 public:
  // Copies into a folder (a taken name is asked about); the count copied.
  int CopyFilesInto(const QStringList& files, const QString& folder);
  int TransferFilesInto(const QStringList& files, const QString& folder, bool move);
  // Ctrl+X / Ctrl+C put the selection on the clipboard; Ctrl+V pastes (moves, after a cut).
  void FileView1CopyFiles(bool cut); void FileView1PasteFiles();
  // The links and programs of the settings folder's "SendTo" folder, and sending files to one.
  QFileInfoList SendToEntries() const;
  void SendTo(const QFileInfo& entry, const QStringList& files);
  void FolderView1DragDrop(const QStringList& files, const QString& folder);
  void FormDragDrop(const QStringList& files);  // dropped on the window from another program
  void FileView1ContextMenu(const QPoint& globalPos);

  // ---- main_window_edit.cpp: the 編集 menu's pane commands, simple editing and saving.
 public slots:
  void MediterRichClick(); void Medit1Click(); void McutClick(); void Mcopy1Click(); void MpastClick();
  void MtextdeleteClick(); void MselectallClick(); void MundoClick(); void Mupperlinecopy1Click();
  void Monelinedelete1Click(); void MTsave1Click(); void MToversave1Click(); void MediterClick();
 private:
  void BuildEditCommands(); void ShowEditState();
  bool SavePane(const QString& target, bool backup);
  bool WouldLoseText(const QString& target); QString EditorProgram() const;
  QString saveFileName_, saveDir_;

  // ---- main_window_file_ops.cpp: the ファイル menu's operations, run beside the window.
 public:
  bool Busy() const;  // a command or a file operation is at work
  bool FileOperationRunning() const; void CancelFileOperation();
  TFileOpRunner* FileOps() const { return fileOps_; } fileops::TSHFOP& SHFOP1() { return *SHFOP1_; }
  // What starts other programs; tests replace it.
  void SetLauncher(TLauncher launcher) { launcher_ = std::move(launcher); }
  QString DiskTool() const;  // empty when none is installed
 public slots:
  void MfilecopyClick(); void MfilemoveClick(); void MfiledeleteClick(); void MydClick(); void MrenameClick();
  void MpropatyClick(); void MfilefukuseiClick(); void MmkdirClick(); void MformatClick(); void Mdiskcopy1Click();
  void MfiledivClick(); void MfileketugouClick();
 private:
  void BuildFileOperations(); void CopyOrMove(bool move);
  bool RunFileOperation(const QString& title, const std::function<bool()>& job, const std::function<void()>& cancel);
  bool ExecuteSHFOP(fileops::TSHFOP& op); bool SelectionReachable();
  TFileOpRunner* fileOps_ = nullptr;
  std::unique_ptr<fileops::TSHFOP> SHFOP1_;
  TLauncher launcher_;

  // ---- main_window_info.cpp: the date item, the 情報 menu's system items and the ヘルプ menu.
 public:
  // The desktop services of the system items (tests record); a missing one disables its items.
  void SetSystemServices(TSystemServices& services);
 public slots:
  void MnowClick(); void Msysteminfo1Click(); void MurlClick(); void MgomiClick(); void MdosClick();
  void MssaverClick(); void MstartClick(); void McontrolpanelClick(); void MsendClick(); void MexitWClick();
  void Msysreboot1Click(); void Msyslogoff1Click(); void Msysstandby1Click(); void Mcontents1Click();
  void Mkeyword1Click(); void Muse1Click(); void MhClick(); void ToolButton8Click() { MhClick(); }
  void Mhanagumo1Click(); void Mversion1Click();
 private:
  void BuildInfoCommands(); void ApplyServiceAvailability();
  std::shared_ptr<TSystemServices> ownServices_;
  TSystemServices* services_ = nullptr;

  // ---- main_window_layout.cpp: the widgets and the panes' geometry, in pixels.
 public:
  int PanelLWidth() const; void SetPanelLWidth(int width);
  int PanelRHeight() const; int PanelRBHeight() const; void SetPanelRBHeight(int height); int PanelRBTHeight() const;
  bool TextPaneVisible() const; void ApplyFileViewStyle(browser::TViewStyle style);
  QString CurrentFolder() const;
 private:
  void BuildLayout(); void LayoutTextHeader();
  void ApplyPanelRBHeight(int height, bool laidOut);
  int pendingPanelRBHeight_ = -1, pendingPanelLWidth_ = -1;
  bool textHeaderHasToolBar_ = true;

  // ---- main_window_lifecycle.cpp: start-up, the key gate, close and the settings reset.
 public:
  // Start-up in order: FormCreate, OpenCommandLineFile, FormShow.
  void FormCreate();
  void OpenCommandLineFile(const QStringList& arguments);
  void FormShow(); void InitDefaults();
  // The modifier part of the display gate (the form previews every key).
  void FormKeyDown(Qt::Key key, Qt::KeyboardModifiers modifiers); void FormKeyUp(Qt::Key, Qt::KeyboardModifiers);
  void TakeModifiers(Qt::KeyboardModifiers modifiers);
 public slots:
  void Mexit1Click(); void Minifileclear1Click();
 private:
  void FormCloseQuery();

  // ---- main_window_live.cpp: the watch on the folders and the file on screen.
 public:
  void StartLiveViews(); void WatchShownFolders();
  void FolderChangedOutside(const QStringList& folders, const QStringList& files, const QStringList& names,
                            bool namesLost);
  // names: only these entries changed (nullptr: read the whole folder again).
  void ReloadList(const QStringList* names = nullptr);
 private:
  browser::TFolderWatch* watch_ = nullptr;
  QDate shownDate_;

  // ---- main_window_menus.cpp: the menus and the tool bars (menu_items.h has the helpers that fill them).
 private:
  TMenus BuildMenus(); void BuildToolBars();
  void BindOption(Option o, QMenu* mainMenu, QMenu* popupMenu, const char* mainName, const char* popupName,
                  const char* caption, const char* key, bool def, void (TForm1::*slot)());
  void ApplyToolButtonSettings(const settings::TIniFile& ini);
  void LoadApplicationMenu(const settings::TIniFile& ini); void LoadRegisteredFolders(const settings::TIniFile& ini);

  // ---- main_window_options.cpp: the 設定 menu's options.
 public:
  bool OptionValue(Option o) const { return options_[static_cast<int>(o)].value; }
  void SetOption(Option o, bool value);
  void ToggleOption(Option o) { SetOption(o, !OptionValue(o)); }
  QAction* OptionAction(Option o, bool popup = false) const;
 public slots:
  void MdispClick(); void MmousepointClick(); void MlhashowClick(); void MrtfClick(); void MtoolbarClick();
  void Msubtoolbar1Click(); void Msubfolderview1Click(); void Mtodiropen1Click(); void Mdialogdisp1Click();
  void Mcloseinitview1Click(); void Mbackup1Click(); void Mdragdrop1Click(); void MlflineClick(); void Moption2Click();
 private:
  void ApplyOptionEffect(Option o); void BrowseTo(const QString& folder);
  std::array<TOptionItem, static_cast<std::size_t>(Option::Count)> options_{};
  bool hotTrack_ = true;

  // ---- main_window_pickers.cpp: the editor and the start-up folder of the 設定 menu.
 public slots:
  void MediterSetClick(); void MinitdirectryClick();
 private:
  void BuildPickerCommands();

  // ---- main_window_print.cpp: the printer every print command uses and the page rectangle.
 public:
  QPrinter& Printer();  // made when first needed
  const viewer::PageRect& PrintPageRect() const { return print_.pageRect; }
  void LoadPrintMargins();
 public slots:
  void MprintClick(); void MprintpreviewClick(); void MprintsetClick(); void Mprinter1Click();
 private:
  void BuildPrintCommands(); viewer::PrintJob PaneJob(QPrinter& printer); void PrintPane(QPrinter& printer);
  TPrintState print_;

  // ---- main_window_save_names.cpp: folder and file names saved to a file or the clipboard.
 public slots:
  void MsavetreeClick(); void MsavenameClick() { SaveNames(false); } void MsavepathClick() { SaveNames(true); }
 private:
  void SaveNames(bool fullPaths); std::optional<QString> AskSavePath(const char* title);

  // ---- main_window_search.cpp: find and replace in the pane, and Grep.
 public:
  bool GrepRunning() const;
  // A double click or Enter on a Grep result line opens its file at that line.
  bool GrepJump(int line);
  bool ReplaceDialog1Find(const std::string& find);
  void ReplaceDialog1Replace(const std::string& find, const std::string& with);
  void ReplaceDialog1ReplaceAll(const std::string& find, const std::string& with);
 public slots:
  void MkensakuClick(); void Mfind1Click(); void Mfinddown1Click(); void Mfindup1Click(); void MfClick();
  void FindDialog1Find(); void Mreplace1Click(); void MgrepClick(); void Mgrep2Click();
 private:
  void BuildSearchCommands(); void ShowFound(std::size_t start, std::size_t length);
  void ReplaceInPane(std::vector<std::pair<std::size_t, std::size_t>> ranges, const std::string& with);
  void RestForGrep(bool resting);
  void GrepFinished(const regex::GrepCommandResult& result, const std::vector<TGrepRunner::Skipped>& skipped);
  TGrepRunner* grep_ = nullptr;  // Grep1
  TSearchState search_;

  // ---- main_window_settings.cpp: the settings file read at start-up and written at close.
 public:
  void LoadSettings(); void SaveSettings();

  // ---- main_window_unsaved.cpp: unsaved edits while the selection moves.
 public:
  // True when the pane may be replaced (nothing edited, saved, or let go).
  bool PaneMayChange();
  bool SaveEditsBeforeLeaving(); void RestoreEditedSelection();
 private:
  TEditGuard edit_;

  // ---- main_window_view.cpp: the pane, word wrap, fonts, tab stops and the viewer's commands.
 public:
  int CharSet() const { return charSet_; }
 public slots:
  void MeditView1Click(); void MwordwrapClick(); void MhyojiClick(); void Mhyoji1Click(); void Splitter2Moved();
  void MfonttextClick(); void MfontfileClick(); void MchartsetClick(); void Mtabset1Click();
  void MvClick(); void Mtextrepaint1Click(); void MtextnewviewClick(); void ToolButton49Click(); void MjumpClick();
  void Mlinetop1Click(); void Mlinebottom1Click(); void MricheditloadlineClick(); void MstreamRead1Click();
  void Mreadmax1Click();
 private:
  void SetTextStatus(int panel, const QString& text); void ShowTextPane(bool show); void SetTabStops();
  void ApplyTextFont(const QFont& font); void ApplyFileFont(const QFont& font);
  int charSet_ = dialogs::kShiftJisCharSet;
  QFont fontDialogFont_;
};

}  // namespace sorabu::app
