#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QDir>
#include <QDragEnterEvent>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLayout>
#include <QStyle>
#include <QLabel>
#include <QListView>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSplitter>
#include <QStatusTipEvent>
#include <QComboBox>
#include <QToolBar>
#include <QTreeView>

#include "app/browser_selection.h"
#include "app/load_rule_commands.h"
#include "app/main_window.h"
#include "archive/bind/lha_binding.h"
#include "browser/combo_view.h"
#include "browser/file_view.h"
#include "browser/folder_view.h"
#include "settings/ini_file.h"
#include "uitext/qt_text.h"
#include "viewer/display.h"
#include "viewer/status_panels.h"
#include "viewer/text_pane.h"

namespace sorabu::app {

namespace {
using uitext::U;
}  // namespace

void TForm1::SetTextStatus(int panel, const QString& text) { SBarR_->SetPanelText(panel, text); }

void TForm1::SetOption(Option o, bool value) {
  TOptionItem& item = options_[static_cast<std::size_t>(o)];
  item.value = value;
  item.main->setChecked(value);
  item.popup->setChecked(value);
  ApplyOptionEffect(o);
}

void TForm1::ApplyOptionEffect(Option o) {
  const bool on = OptionValue(o);
  switch (o) {
    case Option::Mdisp:
      state_.InstantDisplay = on;
      SetTextStatus(4, on ? U(" ﾘｱﾙﾓｰﾄﾞ ") : U("  Vﾓｰﾄﾞ "));
      break;
    case Option::Mmousepoint:
      hotTrack_ = on;
      FileView1_->setAttribute(Qt::WA_Hover, on);
      SetTextStatus(5, on ? U(" MP ") : U("    "));
      break;
    case Option::Mrtf:
      RichEdit1_->SetPlainTextMode(!on);
      viewer_->SetRtfOption(on);
      SetTextStatus(3, on ? U(" RTF ") : U("     "));
      break;
    case Option::Mlhashow:
      viewer_->SetLhaShowOption(on);
      break;
    case Option::Mlfline:
      viewer_->SetLfLines(on);
      break;
    case Option::Mtoolbar:
      ToolBar1_->setVisible(on);
      break;
    case Option::Msubtoolbar1:
      textHeaderHasToolBar_ = on;
      LayoutTextHeader();
      break;
    case Option::Mdragdrop1:
      setAcceptDrops(on);
      FileView1_->SetDragOut(on);
      break;
    default:
      break;  // read where they are used
  }
}

void TForm1::FormKeyDown(Qt::Key key, Qt::KeyboardModifiers modifiers) {
  modifiers &= Qt::ShiftModifier | Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier;
  if (key == Qt::Key_Shift) modifiers |= Qt::ShiftModifier;
  if (key == Qt::Key_Alt) modifiers |= Qt::AltModifier;
  state_.ShiftDown = modifiers == Qt::ShiftModifier;
  state_.AltDown = modifiers == Qt::AltModifier;
}

void TForm1::FormKeyUp(Qt::Key key, Qt::KeyboardModifiers modifiers) {
  modifiers &= Qt::ShiftModifier | Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier;
  // The released key is no longer held, whatever the event's modifiers say.
  if (key == Qt::Key_Shift) modifiers &= ~Qt::ShiftModifier;
  if (key == Qt::Key_Alt) modifiers &= ~Qt::AltModifier;
  if (modifiers != Qt::ShiftModifier) state_.ShiftDown = false;
  if (modifiers != Qt::AltModifier) state_.AltDown = false;
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  // A text-area height set before the window was laid out is applied once the splitter has a size.
  if (watched == Splitter3_ && event->type() == QEvent::Resize && pendingPanelRBHeight_ >= 0 &&
      Splitter3_->height() > 0)
    ApplyPanelRBHeight(pendingPanelRBHeight_, true);
  if (watched == Splitter2_ && event->type() == QEvent::Resize && pendingPanelLWidth_ >= 0 && Splitter2_->width() > 0) {
    const int width = pendingPanelLWidth_;
    pendingPanelLWidth_ = -1;
    Splitter2_->setSizes({width, qMax(0, Splitter2_->width() - Splitter2_->handleWidth() - width)});
  }
  // A click tells which modifiers are held now, whatever became of an earlier key-up (a dialog
  // opened by Ctrl+F takes the release of Ctrl).
  if (event->type() == QEvent::MouseButtonPress &&
      (watched == FileView1_->ListView()->viewport() || watched == FileView1_->DetailView()->viewport() ||
       watched == FolderView1_->viewport()))
    TakeModifiers(static_cast<QMouseEvent*>(event)->modifiers());
  if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) && watched->isWidgetType()) {
    auto* w = static_cast<QWidget*>(watched);
    if (w->window() == this) {
      auto* key = static_cast<QKeyEvent*>(event);
      if (event->type() == QEvent::KeyPress) FormKeyDown(static_cast<Qt::Key>(key->key()), key->modifiers());
      else FormKeyUp(static_cast<Qt::Key>(key->key()), key->modifiers());
      // The list's and the tree's own handlers come after the form's preview.
      const bool browserWidget = w == FileView1_->ListView() || w == FileView1_->DetailView() || w == FolderView1_;
      if (browserWidget && event->type() == QEvent::KeyPress && FileView1KeyDown(key)) return true;
      if (browserWidget && event->type() == QEvent::KeyRelease) FileView1KeyUp(key);
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void TForm1::TakeModifiers(Qt::KeyboardModifiers modifiers) {
  state_.ShiftDown = modifiers.testFlag(Qt::ShiftModifier);
  state_.CtrlDown = modifiers.testFlag(Qt::ControlModifier);
  state_.AltDown = modifiers.testFlag(Qt::AltModifier);
}

bool TForm1::event(QEvent* event) {
  // A dialog opening or closing, or another window taking the focus, takes the key-ups with it:
  // the gate starts from the keys held now.
  if (event->type() == QEvent::WindowActivate || event->type() == QEvent::WindowDeactivate)
    TakeModifiers(QGuiApplication::queryKeyboardModifiers());
  // The hint handler: the status text of whatever the pointer rests on goes to panel 4.
  if (event->type() == QEvent::StatusTip) {
    StatusBar1_->SetPanelText(4, static_cast<QStatusTipEvent*>(event)->tip(), false);
    return true;
  }
  return QMainWindow::event(event);
}

void TForm1::InitDefaults() {
  if (QScreen* screen = QGuiApplication::primaryScreen()) setGeometry(screen->availableGeometry());
  state_.ShiftDown = false;
  state_.AltDown = false;
  state_.InstantDisplay = true;
  state_.DisplayEnabled = true;
  state_.DialogResult.clear();
  BrowseTo(QCoreApplication::applicationDirPath());
  SetPanelRBHeight((PanelRHeight() / 3) * 2);
  SetTextStatus(2, U(" 閲覧 "));
  SetTextStatus(4, U(" ﾘｱﾙﾓｰﾄﾞ "));
  fontDialogFont_ = RichEdit1_->font();
  ApplyFileViewStyle(4);
  columnWidths_ = {-1, -1, -1};
  ApplyFileViewStyle(3);
  for (Option o : {Option::Mdisp, Option::Mtoolbar, Option::Msubtoolbar1, Option::Mdialogdisp1,
                   Option::Mcloseinitview1, Option::Msubfolderview1, Option::Mlfline}) {
    TOptionItem& item = options_[static_cast<std::size_t>(o)];
    item.value = true;
    item.main->setChecked(true);
    item.popup->setChecked(true);
  }
  ApplyOptionEffect(Option::Mlfline);
}

void TForm1::FormCreate() {
  state_.LhaVersion = static_cast<std::uint16_t>(archive::LhaVersion());
  EnableLhaCommands();
  InitDefaults();
  LoadSettings();
  RebuildBrowser();
  // The full refresh: the gate opens and the current folder is shown afresh.
  state_.DisplayEnabled = true;
  state_.InstantDisplay = true;
  state_.ShiftDown = false;
  viewer_->ShowFileInfo();
  selection_->UpdateCounts();
  // The keys of the browser work from the start.
  FileView1_->setFocus();
  state_.SavedTextHeight = RichEdit1_->height() > 0 ? RichEdit1_->height() : PanelRBHeight() - PanelRBTHeight() - SBarR_->sizeHint().height();
}

void TForm1::OpenCommandLineFile(const QStringList& arguments) {
  if (arguments.isEmpty()) return;
  const QString joined = arguments.join(QLatin1Char(' '));
  const QFileInfo info(joined);
  QString folder = info.absolutePath();
  if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
  state_.DisplayEnabled = false;
  if (QFileInfo(folder).isDir()) BrowseTo(folder);
  viewer_->ClearTextPane();
  selection_->UpdateCounts();
  state_.DisplayEnabled = false;
  if (selection_->SelectByName(info.fileName()) > 0) viewer_->ShowSelectedFile();
  state_.DisplayEnabled = true;
}

void TForm1::FormShow() {
  const QDate today = QDate::currentDate();
  shownDate_ = today;
  Action("Mnow")->setText(QStringLiteral(" %1.%2.%3 (%4)")
                              .arg(today.year())
                              .arg(today.month())
                              .arg(today.day())
                              .arg(QLocale::system().dayName(today.dayOfWeek(), QLocale::ShortFormat)));
}

void TForm1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  FormShow();
}

void TForm1::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  // The text area never takes the whole right half.
  if (Splitter3_->isVisible() && PanelRHeight() > 0 && PanelRHeight() <= PanelRBHeight() + Splitter3_->handleWidth())
    SetPanelRBHeight(PanelRHeight() / 2);
}

// The combo fills PanelLT through its layout, so it follows the splitter by itself.
void TForm1::Splitter2Moved() { ComboView1_->updateGeometry(); }

void TForm1::Mexit1Click() { close(); }

void TForm1::ShowTextPane(bool show) {
  if (show) {
    RichEdit1_->show();
    SetPanelRBHeight(PanelRBTHeight() + state_.SavedTextHeight + SBarR_->height());
  } else {
    RichEdit1_->hide();
    SetPanelRBHeight(PanelRBTHeight() + SBarR_->height());
  }
  QAction* button = Action("SBeditview");
  button->setIcon(style()->standardIcon(show ? QStyle::SP_TitleBarShadeButton : QStyle::SP_TitleBarUnshadeButton));
  button->setToolTip(show ? U("隠す") : U("表示する"));
  button->setStatusTip(show ? U("テキスト表示を隠します。") : U("テキスト表示を表示します。"));
  for (const char* name : {"MeditView1", "Meditview2"}) {
    Action(name)->setText(show ? U("テキスト表示を隠す(&I)") : U("テキスト表示を表示する(&I)"));
    Action(name)->setStatusTip(show ? U("テキスト表示を隠します。") : U("テキスト表示を表示します。"));
  }
}

void TForm1::MeditView1Click() {
  const bool visible = TextPaneVisible();
  if (visible) state_.SavedTextHeight = RichEdit1_->height();
  ShowTextPane(!visible);
  if (FileView1_->focusPolicy() != Qt::NoFocus && FileView1_->isVisible()) FileView1_->setFocus();
  else FolderView1_->setFocus();
}

void TForm1::MwordwrapClick() {
  const bool wrap = !RichEdit1_->WordWrap();
  RichEdit1_->SetWordWrap(wrap);
  Action("ToolButton39")->setChecked(wrap);
}

void TForm1::MhyojiClick() {
  const bool wraps = RichEdit1_->WordWrap();
  for (const char* name : {"Mwordwrap", "Mwordwrap1"})
    Action(name)->setText(wraps ? U("右で折り返さない(&R)") : U("右で折り返す(&R)"));
  Mfileviewcolum_->setEnabled(fileViewStyle_ == 4);
  Mcodehenkan1_->setEnabled(!selection_->SelectedPath().isEmpty());
}

void TForm1::Mhyoji1Click() {
  MhyojiClick();
  Mcodehenkan2_->setEnabled(!selection_->SelectedPath().isEmpty());
}

void TForm1::Moption2Click() {
  for (Option o : {Option::Mdisp, Option::Mlhashow, Option::Mrtf}) OptionAction(o, true)->setChecked(OptionValue(o));
}

void TForm1::ApplyTextFont(const QFont& font) {
  RichEdit1_->setFont(font);
  SetTabStops();
}

void TForm1::ApplyFileFont(const QFont& font) {
  FileView1_->setFont(font);
  FolderView1_->setFont(font);
}

namespace {

dialogs::FontSpec ToSpec(const QFont& f, const QColor& colour, int charSet) {
  dialogs::FontSpec spec;
  spec.name = uitext::ToCp932(f.family());
  spec.sizePoints = f.pointSize() > 0 ? f.pointSize() : qRound(f.pixelSize() * 72.0 / 96.0);
  spec.style = (f.bold() ? 1 : 0) | (f.italic() ? 2 : 0) | (f.underline() ? 4 : 0) | (f.strikeOut() ? 8 : 0);
  spec.bgr = static_cast<std::uint32_t>(colour.red()) | static_cast<std::uint32_t>(colour.green()) << 8 |
             static_cast<std::uint32_t>(colour.blue()) << 16;
  spec.charSet = charSet;
  return spec;
}

QFont FromSpec(const dialogs::FontSpec& spec) {
  QFont f(uitext::FromCp932(spec.name));
  if (spec.sizePoints > 0) f.setPointSize(spec.sizePoints);
  f.setBold(spec.style & 1);
  f.setItalic(spec.style & 2);
  f.setUnderline(spec.style & 4);
  f.setStrikeOut(spec.style & 8);
  return f;
}

QColor FromBgr(std::uint32_t bgr) { return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF)); }

}  // namespace

void TForm1::MfonttextClick() {
  const QColor colour = RichEdit1_->palette().color(QPalette::Text);
  auto chosen = dialogs_.ChooseFont(ToSpec(RichEdit1_->font(), colour, charSet_));
  if (!chosen) return;
  ApplyTextFont(FromSpec(*chosen));
  QPalette p = RichEdit1_->palette();
  p.setColor(QPalette::Text, FromBgr(chosen->bgr));
  RichEdit1_->setPalette(p);
  fontDialogFont_ = RichEdit1_->font();
}

void TForm1::MfontfileClick() {
  const QColor colour = FileView1_->palette().color(QPalette::Text);
  auto chosen = dialogs_.ChooseFont(ToSpec(FileView1_->font(), colour, charSet_));
  if (!chosen) return;
  ApplyFileFont(FromSpec(*chosen));
  for (QWidget* w : {static_cast<QWidget*>(FileView1_), static_cast<QWidget*>(FolderView1_)}) {
    QPalette p = w->palette();
    p.setColor(QPalette::Text, FromBgr(chosen->bgr));
    w->setPalette(p);
  }
}

void TForm1::MchartsetClick() {
  dialogs_.ChooseCharSet(charSet_, [this](int value) { charSet_ = value; });
}

void TForm1::Mtabset1Click() {
  auto answer = dialogs_.InputBox(uitext::ToCp932(U("TAB位置設定")), uitext::ToCp932(U("TABの文字数")), "8");
  if (!answer) return;
  const long long value = settings::ParseInteger(*answer).value_or(8);
  // A width of zero or less would put every stop at the margin or before it.
  if (value <= 0 || value > 1000) return;
  state_.TabWidth = static_cast<int>(value);
  SetTabStops();
}

void TForm1::SetTabStops() { RichEdit1_->SetTabWidth(state_.TabWidth); }

void TForm1::Minifileclear1Click() {
  QFile::remove(QString::fromStdString(iniPath_));
  InitDefaults();
  while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
  state_.DisplayEnabled = true;
  state_.InstantDisplay = true;
  state_.ShiftDown = state_.AltDown = state_.CtrlDown = false;
  state_.DialogResult.clear();
  if (!TextPaneVisible()) ShowTextPane(true);
  RichEdit1_->SetEditable(true);
  ShowEditState();
  RichEdit1_->viewport()->update();
  RebuildBrowser();
  selection_->UpdateCounts();
  viewer_->ShowSelectedFile();
}

void TForm1::BrowseTo(const QString& folder) { GoToFolder(folder); }

void TForm1::FormCloseQuery() {
  state_.DialogResult.clear();
  if (!TextPaneVisible()) {
    RichEdit1_->show();
    SetPanelRBHeight(PanelRBTHeight() + state_.SavedTextHeight + SBarR_->height());
    Action("SBeditview")->setToolTip(U("隠す"));
    Action("SBeditview")->setStatusTip(U("テキスト表示部分を隠します。"));
  }
  SaveSettings();
  if (OptionValue(Option::Mcloseinitview1)) {
    BrowseTo(QCoreApplication::applicationDirPath());
    viewer_->ClearTextPane();
  }
}

void TForm1::closeEvent(QCloseEvent* event) {
  // A running command is cancelled first; the window closes once it has put its file back (it
  // may be waiting for a question on screen, so the close cannot wait here).
  if (FileCommandRunning()) {
    closeWhenDone_ = true;
    CancelFileCommand(false);
    event->ignore();
    return;
  }
  if (FileOperationRunning()) {
    closeWhenDone_ = true;
    CancelFileOperation();
    event->ignore();
    return;
  }
  // A Grep stops at its next block or line; its results so far stay.
  if (GrepRunning()) {
    grep_->StopAndWait();
    RestForGrep(false);
  }
  if (!PaneMayChange()) {
    event->ignore();
    return;
  }
  dialogs_.CloseReplace();
  FormCloseQuery();
  event->accept();
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
  if (OptionValue(Option::Mdragdrop1) && event->mimeData()->hasUrls()) event->acceptProposedAction();
}


// The viewer's commands, reached from menus and buttons.
void TForm1::MvClick() {
  viewer_->MvClick(OptionValue(Option::Mdisp), [this] {
    if (!TextPaneVisible()) ShowTextPane(true);
  });
}
void TForm1::Mtextrepaint1Click() { viewer_->Mtextrepaint1Click(); }
void TForm1::MtextnewviewClick() { viewer_->MtextnewviewClick(); }
void TForm1::ToolButton49Click() { viewer_->LoadWholeFile(); }
void TForm1::MjumpClick() { viewer_->MjumpClick(); }
void TForm1::Mlinetop1Click() { viewer_->Mlinetop1Click(); }
void TForm1::Mlinebottom1Click() { viewer_->Mlinebottom1Click(); }
void TForm1::MricheditloadlineClick() { AskDisplayLineLimit(dialogs_, iniPath_, state_); }
void TForm1::MstreamRead1Click() { AskStreamRead(dialogs_, iniPath_, state_); }
void TForm1::Mreadmax1Click() { AskReadLimit(dialogs_, iniPath_, state_); }

}  // namespace sorabu::app
