// TForm1, the main window: a drive combo above a folder tree on the left, a file list above the
// text pane on the right, two tool bars and two status bars. Split by concern into
// main_window_layout.cpp (widgets), main_window_menus.cpp (menus and tool bars),
// main_window_options.cpp (options, keys, fonts, reset, close) and main_window_settings.cpp.
#pragma once

#include <QDate>
#include <QMainWindow>
#include <QStyle>
#include <QPointer>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/archive_extract.h"
#include "app/grep_runner.h"
#include "app/menu_handles.h"
#include "dialogs/dialogs.h"
#include "settings/window_state.h"
#include "viewer/printing.h"

class QAction;
class QByteArray;
class QKeyEvent;
class QLabel;
class QMenu;
class QPrinter;
class QProgressBar;
class QSplitter;
class QToolBar;

namespace sorabu::settings {
class TIniFile;
}  // namespace sorabu::settings

namespace sorabu::viewer {
class TTextPane;
class TStatusPanels;
class TViewer;
class TFileSelection;
}  // namespace sorabu::viewer

namespace sorabu::browser {
class TComboView;
class TFileView;
class TFolderCounter;
class TFolderView;
class TFolderWatch;
}  // namespace sorabu::browser

namespace sorabu::fileops {
class TSHFOP;
}  // namespace sorabu::fileops

namespace sorabu::textcmd {
struct TCommand;
}  // namespace sorabu::textcmd

namespace sorabu::custom {
struct TToolButtonInfo;
}  // namespace sorabu::custom

namespace sorabu::app {

class TBrowserSelection;
class TCommandRunner;
class TDirRunner;
class TFileOpRunner;
class TSystemServices;

// The options of the 設定 menu, in the order the settings file lists them.
enum class Option {
  Mdisp, Mmousepoint, Mlhashow, Mrtf, Mtoolbar, Msubtoolbar1, Msubfolderview1, Mtodiropen1,
  Mdialogdisp1, Mcloseinitview1, Mbackup1, Mdragdrop1, Mlfline, Count
};

struct TOptionItem {
  QAction* main = nullptr;   // in MainMenu1
  QAction* popup = nullptr;  // its copy in PopupMenu1
  const char* key = "";      // key in section Menu
  bool value = false;
};

class TForm1 : public QMainWindow {
  Q_OBJECT
 public:
  // dialogs: where every question goes; iniPath: the settings file.
  TForm1(dialogs::TDialogs& dialogs, std::string iniPath, QWidget* parent = nullptr);
  ~TForm1() override;

  // Start-up steps 3 to 9; OpenCommandLineFile is step 10, FormShow step 11.
  void FormCreate();
  void OpenCommandLineFile(const QStringList& arguments);
  void FormShow();

  void InitDefaults();
  void LoadSettings();
  void SaveSettings();

  // Options.
  bool OptionValue(Option o) const { return options_[static_cast<int>(o)].value; }
  void SetOption(Option o, bool value);
  void ToggleOption(Option o) { SetOption(o, !OptionValue(o)); }
  QAction* OptionAction(Option o, bool popup = false) const;

  settings::TWindowState& State() { return state_; }
  viewer::TViewer& Viewer() { return *viewer_; }
  viewer::TTextPane* RichEdit1() const { return RichEdit1_; }
  QLabel* LFilestring() const { return LFilestring_; }
  viewer::TStatusPanels* SBarR() const { return SBarR_; }
  viewer::TStatusPanels* StatusBar1() const { return StatusBar1_; }
  QToolBar* ToolBar1() const { return ToolBar1_; }
  QToolBar* ToolBar2() const { return ToolBar2_; }
  const TMenus& Menus() const { return menus_; }
  QMenu* PopupMenu1() const { return PopupMenu1_; }
  QMenu* PopupMenu2() const { return PopupMenu2_; }
  QAction* Action(const char* name) const;
  TBrowserSelection& Selection() { return *selection_; }
  browser::TComboView* ComboView1() const { return ComboView1_; }
  browser::TFolderView* FolderView1() const { return FolderView1_; }
  browser::TFileView* FileView1() const { return FileView1_; }
  browser::TFolderCounter& Counter() { return *counter_; }
  const std::string& IniPath() const { return iniPath_; }

  // Geometry of the panes, in pixels.
  int PanelLWidth() const;
  void SetPanelLWidth(int width);
  int PanelRHeight() const;
  int PanelRBHeight() const;
  void SetPanelRBHeight(int height);
  int PanelRBTHeight() const;
  bool TextPaneVisible() const;
  int FileViewStyle() const { return fileViewStyle_; }
  void ApplyFileViewStyle(int style);
  int ColumnWidth(int index) const { return columnWidths_[static_cast<std::size_t>(index)]; }
  bool HotTrack() const { return hotTrack_; }
  int CharSet() const { return charSet_; }
  void SetCharSet(int value) { charSet_ = value; }
  QString SaveDialogFileName() const { return saveFileName_; }
  QString SaveDialogDir() const { return saveDir_; }
  QString CurrentFolder() const;

  // The modifier part of the display gate (the form previews every key).
  void FormKeyDown(Qt::Key key, Qt::KeyboardModifiers modifiers);
  void FormKeyUp(Qt::Key key, Qt::KeyboardModifiers modifiers);
  // ShiftDown, CtrlDown and AltDown as these modifiers say.
  void TakeModifiers(Qt::KeyboardModifiers modifiers);
  // Unsaved edits: true when the pane may be replaced (nothing edited, saved, or let go).
  bool PaneMayChange();
  // Live views: the watch on the folders and the file on screen, and what follows a change.
  void StartLiveViews();
  void WatchShownFolders();
  void FolderChangedOutside(const QStringList& folders, const QStringList& files, const QStringList& names,
                            bool namesLost);
  // names: only these entries changed (nullptr: read the whole folder again).
  void ReloadList(const QStringList* names = nullptr);
  bool SaveEditsBeforeLeaving();
  void RestoreEditedSelection();

  // The browser (main_window_browser.cpp, main_window_browse_keys.cpp).
  // Goes to a folder with the display gate shut: tree, first row, counts. False (previous folder
  // kept) when the folder cannot be shown.
  bool GoToFolder(const QString& folder);
  void RebuildBrowser();
  // The list's key handlers (the tree shares them); true when the key was consumed.
  bool FileView1KeyDown(QKeyEvent* event);
  void FileView1KeyUp(QKeyEvent* event);
  bool FileView1KeyPress(const QString& text);
  void SetFileViewStyle(int style);
  // main_window_drops.cpp: copies into a folder (a taken name is asked about); the count copied.
  int CopyFilesInto(const QStringList& files, const QString& folder);
  void FolderView1DragDrop(const QStringList& files, const QString& folder);
  // Files dropped on the window from another program.
  void FormDragDrop(const QStringList& files);
  void FileView1ContextMenu(const QPoint& globalPos);
  // main_window_commands.cpp: runs the file-rewriting command of that handler on the selected
  // file, off the user-interface thread; nothing when no file is selected or one runs already.
  void RunFileCommand(const std::string& handler);
  bool FileCommandRunning() const;
  // Cancels the running command; with wait, returns when it has put the file back.
  void CancelFileCommand(bool wait);
  QMenu* PopupMenu3() const { return PopupMenu3_; }
  // main_window_file_ops.cpp: a command or a file operation is at work.
  bool Busy() const;
  bool FileOperationRunning() const;
  void CancelFileOperation();
  TFileOpRunner* FileOps() const { return fileOps_; }
  // When an extraction asks before it writes far more than its archive holds (tests use small ones).
  void SetExtractLimits(const ExtractLimits& limits) { extractLimits_ = limits; }
  fileops::TSHFOP& SHFOP1() { return *SHFOP1_; }
  // Starts another program (program, arguments, working folder) without waiting: the disk tool,
  // the external editor, the application menu and a program run from the list. Tests replace it.
  using TLauncher = std::function<bool(const QString& program, const QStringList& arguments, const QString& folder)>;
  void SetLauncher(TLauncher launcher) { launcher_ = std::move(launcher); }
  // The disk tool's program; empty when none is installed.
  QString DiskTool() const;
  // main_window_print.cpp: the printer every print command uses (made when first needed) and
  // the text pane's page rectangle.
  QPrinter& Printer();
  const viewer::PageRect& PrintPageRect() const { return printPageRect_; }
  void LoadPrintMargins();

 signals:
  void FileCommandDone();
  void GrepDone();

 public slots:
  void Mexit1Click();
  void Mcodehenkan1Click();
  void Mcodehenkan2Click();
  void MdispClick() { ToggleOption(Option::Mdisp); }
  void MmousepointClick() { ToggleOption(Option::Mmousepoint); }
  void MlhashowClick() { ToggleOption(Option::Mlhashow); }
  void MrtfClick() { ToggleOption(Option::Mrtf); }
  void MtoolbarClick() { ToggleOption(Option::Mtoolbar); }
  void Msubtoolbar1Click() { ToggleOption(Option::Msubtoolbar1); }
  void Msubfolderview1Click() { ToggleOption(Option::Msubfolderview1); }
  void Mtodiropen1Click() { ToggleOption(Option::Mtodiropen1); }
  void Mdialogdisp1Click() { ToggleOption(Option::Mdialogdisp1); }
  void Mcloseinitview1Click() { ToggleOption(Option::Mcloseinitview1); }
  void Mbackup1Click() { ToggleOption(Option::Mbackup1); }
  void Mdragdrop1Click() { ToggleOption(Option::Mdragdrop1); }
  void MlflineClick() { ToggleOption(Option::Mlfline); }
  void MeditView1Click();
  void MwordwrapClick();
  void MhyojiClick();
  void Mhyoji1Click();
  void Moption2Click();
  void MfonttextClick();
  void MfontfileClick();
  void MchartsetClick();
  void Minifileclear1Click();
  void Mtabset1Click();
  void Splitter2Moved();

  void MvClick();
  void Mtextrepaint1Click();
  void MtextnewviewClick();
  void ToolButton49Click();
  void MjumpClick();
  void Mlinetop1Click();
  void Mlinebottom1Click();
  void MricheditloadlineClick();
  void MstreamRead1Click();
  void Mreadmax1Click();

  void FolderView1Change();
  void ComboView1Change();
  void MrefreshClick();
  void MfileexeClick();
  void ToolButton55Click();
  void MybClick() { ToolButton55Click(); }
  void MyyClick();
  void MyeClick();
  void MyhClick();
  void MbigiconClick() { SetFileViewStyle(1); }
  void MsmalliconClick() { SetFileViewStyle(2); }
  void MlistClick() { SetFileViewStyle(3); }
  void MreportClick() { SetFileViewStyle(4); }
  void MdriveClick();
  void MfolderClick();
  void MextClick();
  void MsortClick();
  void MrootClick() { MyyClick(); }
  void McolumdefaultClick();
  void McolumautoClick();
  void McolumnameautoClick();
  void MnameonlyClick();
  void MfullpathClick();
  void McurrentfileClick();
  void McopypathClick();
  // main_window_file_ops.cpp
  void MfilecopyClick();
  void MfilemoveClick();
  void MfiledeleteClick();
  void MydClick();
  void MrenameClick();
  void MpropatyClick();
  void MfilefukuseiClick();
  void MmkdirClick();
  void MformatClick();
  void Mdiskcopy1Click();
  void MfiledivClick();
  void MfileketugouClick();
  // main_window_edit.cpp
  void MediterRichClick();
  void Medit1Click();
  void McutClick();
  void Mcopy1Click();
  void MpastClick();
  void MtextdeleteClick();
  void MselectallClick();
  void MundoClick();
  void Mupperlinecopy1Click();
  void Monelinedelete1Click();
  void MTsave1Click();
  void MToversave1Click();
  void MediterClick();
  // main_window_save_names.cpp
  void MsavetreeClick();
  void MsavenameClick() { SaveNames(false); }
  void MsavepathClick() { SaveNames(true); }
  // main_window_pickers.cpp
  void MediterSetClick();
  void MinitdirectryClick();
  // main_window_print.cpp
  void MprintClick();
  void MprintpreviewClick();
  void MprintsetClick();
  void Mprinter1Click();
  // main_window_search.cpp
  void MkensakuClick();
  void Mfind1Click();
  void Mfinddown1Click();
  void Mfindup1Click();
  void MfClick();
  void FindDialog1Find();
  void Mreplace1Click();
  bool ReplaceDialog1Find(const std::string& find);
  void ReplaceDialog1Replace(const std::string& find, const std::string& with);
  void ReplaceDialog1ReplaceAll(const std::string& find, const std::string& with);
  void MgrepClick();
  void Mgrep2Click();
  bool GrepRunning() const;
  // A double click or Enter on a Grep result line opens its file at that line.
  bool GrepJump(int line);
  // main_window_archive.cpp
  void MlhaUClick();
  void MlhaPClick();
  void MlhalistClick();
  void MlhacommandClick();
  void MlhaEClick();
  void MarcextractClick();
  void MarclistClick();
  void MarccreateClick();
  void MycClick();

  // main_window_custom.cpp: the application menu, the registered folders, the tool buttons.
 public slots:
  void MexesetClick();
  void MfoldersetClick();
  void MtoolbarsetClick();
  void MtorokuClick();
  void ToolButton11Click();
 public:
  // Click handlers of the items built from the settings file; the item's data is its number.
  void appexe(QAction* item);
  void torokufolderjump(QAction* item);
  void toolbtnset(const char* button, bool shown);
  void toolbtnset2(const char* button, bool shown);
 private:
  void BuildCustomCommands();
  // Puts the bar's buttons in the table's order from position first, making the missing ones.
  void ArrangeToolBar(QToolBar* bar, std::span<const custom::TToolButtonInfo> buttons, int first);

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // main_window_layout.cpp
  void BuildLayout();
  void LayoutTextHeader();
  void ApplyPanelRBHeight(int height, bool laidOut);
  // main_window_menus.cpp
  TMenus BuildMenus();
  void BuildToolBars();
  QAction* MakeAction(QMenu* menu, const char* name, const char* caption, void (TForm1::*slot)(),
                      bool checkable = false);
  // A menu item and its pop-up twin; an entry without a name is a separator.
  struct MenuItemSpec {
    const char* name;
    const char* popupName;
    const char* caption;
    void (TForm1::*slot)();
    void (TForm1::*popupSlot)() = nullptr;  // when the twin runs something else
    const char* popupCaption = nullptr;     // when the twin reads otherwise
  };
  // The items into the menu bar's menu and their twins into the pop-up's, each before its
  // anchor (at the end when that is null) or at the front or the end of both. A missing menu is a
  // fault of the program: an assertion in debug builds, a warning and nothing added otherwise.
  enum class TMenuEnd { Front, Back };
  void InsertTwins(const TMenuTwins& twins, TMenuEnd end, std::span<const MenuItemSpec> items);
  void InsertTwins(const TMenuTwins& twins, std::array<QAction*, 2> before, std::span<const MenuItemSpec> items);
  // The separator before each file menu's 終了, where the file menu's groups go in.
  std::array<QAction*, 2> BeforeExit() const;
  // Items at the top of the pop-up's shortcut list, in the order given.
  struct ShortcutSpec {
    const char* name;
    const char* caption;
    void (TForm1::*slot)();
  };
  void AddShortcuts(std::initializer_list<ShortcutSpec> items);
  // A tool button of the bars, its tip and status text from the tool-button table, put before
  // `before` (at the end when null); and a divider of the table's width.
  QAction* ToolButton(QToolBar* bar, QAction* before, const char* name, QStyle::StandardPixmap icon,
                      void (TForm1::*slot)());
  void ToolDivider(QToolBar* bar, QAction* before, const char* name);
  void BindOption(Option o, QMenu* mainMenu, QMenu* popupMenu, const char* mainName, const char* popupName,
                  const char* caption, const char* key, bool def, void (TForm1::*slot)());
  void ApplyToolButtonSettings(const settings::TIniFile& ini);
  void LoadApplicationMenu(const settings::TIniFile& ini);
  void LoadRegisteredFolders(const settings::TIniFile& ini);
  // main_window_commands.cpp
  void BuildCommandMenus();
  QAction* AddCommandItem(QMenu* menu, const textcmd::TCommand& command, const std::string& name, const QString& caption);
  void FileCommandFinished();
  void SwitchCodeConversions(bool popup);
  std::vector<QWidget*> BrowserWidgets() const;
  // main_window_file_ops.cpp
  void BuildFileOperations();
  void CopyOrMove(bool move);
  // Runs job off the user-interface thread with the progress window; the window rests meanwhile.
  bool RunFileOperation(const QString& title, const std::function<bool()>& job, const std::function<void()>& cancel);
  bool ExecuteSHFOP(fileops::TSHFOP& op);
  // main_window_edit.cpp
  void BuildEditCommands();
  void ShowEditState();
  // Writes the pane to target (plain or RTF by its extension), with the ".$$$" backup when asked.
  bool SavePane(const QString& target, bool backup);
  // True (after saying so) when target is the file shown but the pane does not hold all of it.
  bool WouldLoseText(const QString& target);
  // The stored editor when it is installed; empty for the desktop's own choice.
  QString EditorProgram() const;
  // main_window_options.cpp
  void ApplyOptionEffect(Option o);
  void SetTextStatus(int panel, const QString& text);
  void ShowTextPane(bool show);
  void SetTabStops();
  void FormCloseQuery();
  void BrowseTo(const QString& folder);
  void ApplyTextFont(const QFont& font);
  void ApplyFileFont(const QFont& font);
  // main_window_browser.cpp
  void SetupBrowser();
  void BuildBrowserCommands();
  void FinishNavigation();
  void BuildPickerCommands();
  void SaveNames(bool fullPaths);
  std::optional<QString> AskSavePath(const char* title);
  // The lines as CP932 bytes for the pane or a text file; when a name in them holds a character
  // CP932 cannot carry, says which and gives nothing rather than a changed name.
  std::optional<std::vector<std::string>> NameLines(const QStringList& lines);
  void ShowNameLines(const QStringList& names);
  // False, with a message, when a selected item has a name the program cannot reach.
  bool SelectionReachable();
  bool WriteTextFile(const QString& path, const std::string& bytes);
  // main_window_search.cpp
  void BuildSearchCommands();
  void ShowFound(std::size_t start, std::size_t length);
  void ReplaceInPane(std::vector<std::pair<std::size_t, std::size_t>> ranges, const std::string& with);
  void RestForGrep(bool resting);
  void GrepFinished(const regex::GrepCommandResult& result, const std::vector<TGrepRunner::Skipped>& skipped);
  // main_window_archive.cpp
  void BuildArchiveCommands();
  void EnableLhaCommands();
  QStringList SelectedNames() const;
  bool RoutesToLha(const QString& path) const;
  bool LhaPreview(const QString& path);
  bool LhaList(const char* word);
  void LhaExtract(bool flat);
  ExtractResult ExtractBeside(const QString& title, const QString& archive, const QString& destination,
                             const std::function<int(const std::string& stagingCp932)>& extract);
  // main_window_print.cpp
  void BuildPrintCommands();
  // Prints the pane's text on the printer; breathe: let the window paint between pages.
  void PrintPane(QPrinter& printer, bool breathe);

  dialogs::TDialogs& dialogs_;
  std::string iniPath_;
  settings::TWindowState state_;
  std::array<TOptionItem, static_cast<std::size_t>(Option::Count)> options_{};

  // Widgets, named as the window's components.
  QToolBar* ToolBar1_ = nullptr;
  QSplitter* Splitter2_ = nullptr;  // left | right
  QSplitter* Splitter1_ = nullptr;  // PanelLT above PanelLB
  QSplitter* Splitter3_ = nullptr;  // PanelRT above PanelRB
  QWidget* PanelL_ = nullptr;
  QWidget* PanelLT_ = nullptr;
  QWidget* PanelLB_ = nullptr;
  QWidget* PanelR_ = nullptr;
  QWidget* PanelRT_ = nullptr;
  QWidget* PanelRB_ = nullptr;
  QWidget* PanelRBT_ = nullptr;
  browser::TComboView* ComboView1_ = nullptr;
  browser::TFolderView* FolderView1_ = nullptr;
  browser::TFileView* FileView1_ = nullptr;
  browser::TFolderCounter* counter_ = nullptr;
  QToolBar* ToolBar2_ = nullptr;
  QLabel* LFilestring_ = nullptr;
  viewer::TTextPane* RichEdit1_ = nullptr;
  viewer::TStatusPanels* SBarR_ = nullptr;
  viewer::TStatusPanels* StatusBar1_ = nullptr;
  TMenus menus_;
  QMenu* PopupMenu1_ = nullptr;
  QMenu* PopupMenu2_ = nullptr;
  QMenu* PopupMenu3_ = nullptr;
  std::vector<QAction*> commandActions_;
  TCommandRunner* runner_ = nullptr;
  TFileOpRunner* fileOps_ = nullptr;
  std::unique_ptr<fileops::TSHFOP> SHFOP1_;
  TLauncher launcher_;
  ExtractLimits extractLimits_;
  bool closing_ = false;         // the window is being destroyed: callbacks of a command do nothing
  bool closeWhenDone_ = false;
  browser::TFolderWatch* watch_ = nullptr;
  QDate shownDate_;
  bool holdingPane_ = false;         // edits kept: the pane stays as it is until the selection is back
  bool askingToSave_ = false;
  bool restoringSelection_ = false;   // a close waits for the running command to put its file back
  QWidget* progressBox_ = nullptr;
  QLabel* progressLabel_ = nullptr;
  QProgressBar* progressBar_ = nullptr;
  QMenu* Mexedo_ = nullptr;
  QMenu* Mexedo2_ = nullptr;
  QMenu* Mfileviewcolum_ = nullptr;
  QMenu* Mcodehenkan1_ = nullptr;
  QMenu* Mcodehenkan2_ = nullptr;

  std::unique_ptr<TBrowserSelection> selection_;
  viewer::TViewer* viewer_ = nullptr;

  int fileViewStyle_ = 3;
  std::array<int, 3> columnWidths_{-1, -1, -1};
  bool hotTrack_ = true;
  int charSet_ = 128;
  QString saveFileName_;
  QString saveDir_;
  QFont fontDialogFont_;
  int pendingPanelRBHeight_ = -1;
  int pendingPanelLWidth_ = -1;
  bool textHeaderHasToolBar_ = true;
  std::unique_ptr<QPrinter, void (*)(QPrinter*)> printer_{nullptr, nullptr};  // deleted where it is made
  viewer::PageRect printPageRect_;
  bool printing_ = false;

  // The find step's text and options (FindDialog1), the replace dialog's texts and found flag.
  std::string findText_;
  bool findDown_ = true, findMatchCase_ = false, findWholeWord_ = false;
  std::string replaceFind_, replaceWith_;
  bool replaceFound_ = false;
  TGrepRunner* grep_ = nullptr;  // Grep1
  std::vector<std::pair<std::string, std::string>> grepPaths_;  // path as shown, path
  std::vector<QPointer<QAction>> restedActions_;
  bool grepWasEditable_ = false;

  // --- main_window_info.cpp: the date item, the 情報 menu's system items and the ヘルプ menu.
 public:
  // The desktop services the system items use; tests give a recording one. Items whose service
  // the desktop lacks are disabled with a hint.
  void SetSystemServices(TSystemServices& services);
  TSystemServices& SystemServices() { return *services_; }
 public slots:
  void MnowClick();
  void Msysteminfo1Click();
  void MurlClick();
  void MgomiClick();
  void MdosClick();
  void MssaverClick();
  void MstartClick();
  void McontrolpanelClick();
  void MsendClick();
  void MexitWClick();
  void Msysreboot1Click();
  void Msyslogoff1Click();
  void Msysstandby1Click();
  void Mcontents1Click();
  void Mkeyword1Click();
  void Muse1Click();
  void MhClick();
  void ToolButton8Click() { MhClick(); }
  void Mhanagumo1Click();
  void Mversion1Click();
 private:
  void BuildInfoCommands();
  void ApplyServiceAvailability();
  std::shared_ptr<TSystemServices> ownServices_;
  TSystemServices* services_ = nullptr;
  // main_window_drive.cpp: drive information, the directory listings, file properties.
 public slots:
  void MdriveInfoClick();
  void Mdircommand1Click();
  void Mdircommand2Click();
  void Mfileinfo1Click();

 public:
  bool DirListingRunning() const;
  TDirRunner* DirRunner() const { return dirRunner_; }

 signals:
  void DirListingDone();

 private:
  void BuildDriveCommands();
  void RunDirListing(const std::string& arguments);
  void DirListingFinished(const QByteArray& output, const QByteArray& errors);
  TDirRunner* dirRunner_ = nullptr;
  std::string dirArguments_;
};

}  // namespace sorabu::app
