// The window's life: the start-up steps, the key gate every key passes first, the close (with
// its question about unsaved edits and a running command) and the reset of the settings file.
#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QDragEnterEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QListView>
#include <QLocale>
#include <QMimeData>
#include <QMouseEvent>
#include <QScreen>
#include <QSplitter>
#include <QStatusTipEvent>

#include "app/browser_selection.h"
#include "app/main_window.h"
#include "archive/bind/lha_binding.h"
#include "browser/file_view.h"
#include "browser/folder_view.h"
#include "uitext/qt_text.h"
#include "viewer/display.h"
#include "viewer/status_panels.h"
#include "viewer/text_pane.h"
#include "uitext/japanese_locale.h"

namespace sorabu::app {

namespace {
using uitext::U;
}  // namespace

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
      // The list's and the tree's own handlers come after the form's preview; a list or tree at
      // rest (a command or a file operation at work) takes no command.
      const bool browserWidget =
          (w == FileView1_->ListView() || w == FileView1_->DetailView() || w == FolderView1_) && w->isEnabled();
      if (browserWidget && event->type() == QEvent::KeyPress && FileView1KeyDown(key)) return true;
      if (browserWidget && event->type() == QEvent::KeyRelease) FileView1KeyUp(key);
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

// ShiftDown, CtrlDown and AltDown as these modifiers say.
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
  ApplyFileViewStyle(browser::TViewStyle::Details);
  columnWidths_ = {-1, -1, -1};
  ApplyFileViewStyle(browser::TViewStyle::List);
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
                              .arg(uitext::JapaneseWeekday(today.dayOfWeek())));
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

void TForm1::Mexit1Click() { close(); }

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

}  // namespace sorabu::app
