// The window's widgets: the drive combo, the folder tree, the file list, the text pane with its
// header, the two status bars and the splitters between them, and the panes' geometry.
#include <QApplication>
#include <QFontDatabase>
#include <QLabel>
#include <QMenuBar>
#include <QSplitter>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/browser_selection.h"
#include "app/main_window.h"
#include "app/file_op_runner.h"
#include "fileops/shfop.h"
#include "app/command_runner.h"
#include "textcmd/search_commands.h"
#include "browser/combo_view.h"
#include "browser/file_view.h"
#include "browser/folder_counter.h"
#include "browser/folder_view.h"
#include "viewer/display.h"
#include "viewer/status_panels.h"
#include "viewer/text_pane.h"

namespace sorabu::app {

namespace {

QWidget* MakePanel(const char* name, QWidget* parent = nullptr) {
  auto* w = new QWidget(parent);
  w->setObjectName(QString::fromLatin1(name));
  return w;
}

// The pane font: a Japanese gothic face at 12 pixels, as close as the machine has.
QFont DefaultTextFont() {
  QFont f;
  const QStringList families = QFontDatabase::families();
  for (const char* name : {"IPAGothic", "IPAゴシック", "Noto Sans Mono CJK JP", "VL Gothic", "TakaoGothic"})
    if (families.contains(QString::fromUtf8(name))) {
      f.setFamily(QString::fromUtf8(name));
      f.setPixelSize(12);
      return f;
    }
  f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  f.setPixelSize(12);
  return f;
}

}  // namespace

TForm1::TForm1(dialogs::TDialogs& dialogs, std::string iniPath, QWidget* parent)
    : QMainWindow(parent), dialogs_(dialogs), iniPath_(std::move(iniPath)) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("ソラブ"));
  setGeometry(21, 32, 782, 514);
  BuildLayout();
  menus_ = BuildMenus();
  BuildToolBars();
  BuildCommandMenus();
  counter_ = new browser::TFolderCounter(this);
  selection_ = std::make_unique<TBrowserSelection>(*FileView1_, *counter_, StatusBar1_);
  viewer_ = new viewer::TViewer(state_, {RichEdit1_, LFilestring_, SBarR_, StatusBar1_}, dialogs_, this);
  viewer_->SetSelection(selection_.get());
  viewer_->SetSettingsPath(iniPath_);
  viewer_->SetReplaceGuard([this] { return PaneMayChange(); });
  connect(RichEdit1_, &viewer::TTextPane::KeyPressed, this, [this] {
    viewer_->UpdateCaretStatus();
    viewer_->MarkEdited();
  });
  connect(RichEdit1_, &viewer::TTextPane::MousePressed, viewer_, &viewer::TViewer::UpdateCaretStatus);
  connect(RichEdit1_, &QPlainTextEdit::selectionChanged, viewer_, &viewer::TViewer::UpdateCaretStatus);
  connect(RichEdit1_, &QPlainTextEdit::cursorPositionChanged, viewer_, &viewer::TViewer::UpdateCaretStatus);
  SetupBrowser();
  StartLiveViews();
  BuildCustomCommands();
  qApp->installEventFilter(this);
}

TForm1::~TForm1() {
  if (qApp) qApp->removeEventFilter(this);
  // Destroyed without a close (the application quit): a running command is cancelled and has put
  // its file back before the widgets it reports to go away.
  closing_ = true;
  if (runner_ != nullptr) {
    disconnect(runner_, nullptr, this, nullptr);
    runner_->Wait(true);
  }
  delete fileOps_;  // cancels and waits for a running operation
  fileOps_ = nullptr;
  textcmd::SetSearchEnvironment({});
}

void TForm1::BuildLayout() {
  auto* central = new QWidget(this);
  auto* centralLayout = new QVBoxLayout(central);
  centralLayout->setContentsMargins(0, 0, 0, 0);
  centralLayout->setSpacing(0);

  Splitter2_ = new QSplitter(Qt::Horizontal, central);
  Splitter2_->setObjectName(QStringLiteral("Splitter2"));
  Splitter2_->setHandleWidth(3);
  Splitter2_->setChildrenCollapsible(false);
  centralLayout->addWidget(Splitter2_, 1);

  PanelL_ = MakePanel("PanelL");
  auto* leftLayout = new QVBoxLayout(PanelL_);
  leftLayout->setContentsMargins(0, 0, 0, 0);
  Splitter1_ = new QSplitter(Qt::Vertical, PanelL_);
  Splitter1_->setObjectName(QStringLiteral("Splitter1"));
  Splitter1_->setHandleWidth(3);
  leftLayout->addWidget(Splitter1_);
  PanelLT_ = MakePanel("PanelLT");
  PanelLT_->setFixedHeight(25);
  auto* ltLayout = new QVBoxLayout(PanelLT_);
  ltLayout->setContentsMargins(0, 0, 0, 0);
  ComboView1_ = new browser::TComboView(PanelLT_);
  ComboView1_->setObjectName(QStringLiteral("ComboView1"));
  ltLayout->addWidget(ComboView1_);
  PanelLB_ = MakePanel("PanelLB");
  auto* lbLayout = new QVBoxLayout(PanelLB_);
  lbLayout->setContentsMargins(0, 0, 0, 0);
  FolderView1_ = new browser::TFolderView(PanelLB_);
  FolderView1_->setObjectName(QStringLiteral("FolderView1"));
  lbLayout->addWidget(FolderView1_);
  Splitter1_->addWidget(PanelLT_);
  Splitter1_->addWidget(PanelLB_);
  Splitter1_->setStretchFactor(1, 1);

  PanelR_ = MakePanel("PanelR");
  auto* rightLayout = new QVBoxLayout(PanelR_);
  rightLayout->setContentsMargins(0, 0, 0, 0);
  Splitter3_ = new QSplitter(Qt::Vertical, PanelR_);
  Splitter3_->setObjectName(QStringLiteral("Splitter3"));
  Splitter3_->setHandleWidth(3);
  Splitter3_->setChildrenCollapsible(false);
  rightLayout->addWidget(Splitter3_);
  PanelRT_ = MakePanel("PanelRT");
  auto* rtLayout = new QVBoxLayout(PanelRT_);
  rtLayout->setContentsMargins(0, 0, 0, 0);
  FileView1_ = new browser::TFileView(PanelRT_);
  FileView1_->setObjectName(QStringLiteral("FileView1"));
  FileView1_->setMouseTracking(true);
  rtLayout->addWidget(FileView1_);
  PanelRT_->setMinimumHeight(0);

  PanelRB_ = MakePanel("PanelRB");
  auto* rbLayout = new QVBoxLayout(PanelRB_);
  rbLayout->setContentsMargins(0, 0, 0, 0);
  rbLayout->setSpacing(0);
  PanelRBT_ = MakePanel("PanelRBT");
  ToolBar2_ = new QToolBar(PanelRBT_);
  ToolBar2_->setObjectName(QStringLiteral("ToolBar2"));
  ToolBar2_->setIconSize(QSize(16, 16));
  ToolBar2_->setMovable(false);
  LFilestring_ = new QLabel(PanelRBT_);
  LFilestring_->setObjectName(QStringLiteral("LFilestring"));
  LFilestring_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  RichEdit1_ = new viewer::TTextPane(PanelRB_);
  RichEdit1_->setObjectName(QStringLiteral("RichEdit1"));
  RichEdit1_->setFont(DefaultTextFont());
  SBarR_ = new viewer::TStatusPanels({100, 80, 50, 40, 60, 50, 50}, PanelRB_);
  SBarR_->setObjectName(QStringLiteral("SBarR"));
  rbLayout->addWidget(PanelRBT_);
  rbLayout->addWidget(RichEdit1_, 1);
  rbLayout->addWidget(SBarR_);
  Splitter3_->addWidget(PanelRT_);
  Splitter3_->addWidget(PanelRB_);
  Splitter3_->setStretchFactor(0, 1);
  Splitter3_->setStretchFactor(1, 0);

  Splitter2_->addWidget(PanelL_);
  Splitter2_->addWidget(PanelR_);
  Splitter2_->setStretchFactor(0, 0);
  Splitter2_->setStretchFactor(1, 1);
  pendingPanelLWidth_ = 137;
  Splitter3_->setSizes({150, 300});
  connect(Splitter2_, &QSplitter::splitterMoved, this, &TForm1::Splitter2Moved);

  setCentralWidget(central);
  StatusBar1_ = new viewer::TStatusPanels({300, 100, 120, 80, 50}, this);
  StatusBar1_->setObjectName(QStringLiteral("StatusBar1"));
  setStatusBar(StatusBar1_);
  LayoutTextHeader();
}

// The header of the text area: the text tool bar, then the information line below it.
void TForm1::LayoutTextHeader() {
  // Room for the taller glyphs of fallback fonts (Korean, emoji) a name may bring into the line.
  const int labelHeight = LFilestring_->sizeHint().height() + LFilestring_->fontMetrics().height() / 4;
  if (textHeaderHasToolBar_) {
    const int barHeight = ToolBar2_->sizeHint().height();
    ToolBar2_->setGeometry(0, 0, 4000, barHeight);
    ToolBar2_->show();
    LFilestring_->setGeometry(8, barHeight + 3, 4000, labelHeight);
    PanelRBT_->setFixedHeight(barHeight + labelHeight + 6);
  } else {
    ToolBar2_->hide();
    LFilestring_->setGeometry(8, 3, 4000, labelHeight);
    PanelRBT_->setFixedHeight(labelHeight + 6);
  }
}

int TForm1::PanelLWidth() const {
  return pendingPanelLWidth_ >= 0 ? pendingPanelLWidth_ : Splitter2_->sizes().value(0);
}

void TForm1::SetPanelLWidth(int width) {
  if (!Splitter2_->isVisible()) {
    pendingPanelLWidth_ = width;
    return;
  }
  pendingPanelLWidth_ = -1;
  const int total = Splitter2_->sizes().value(0) + Splitter2_->sizes().value(1);
  Splitter2_->setSizes({width, qMax(0, total - width)});
}

int TForm1::PanelRHeight() const {
  if (Splitter3_->isVisible()) return PanelR_->height();
  // Not laid out yet: the window less its menu bar, tool bar and status bar.
  int h = height() - menuBar()->sizeHint().height() - StatusBar1_->sizeHint().height();
  if (ToolBar1_ && !ToolBar1_->isHidden()) h -= ToolBar1_->sizeHint().height();
  return qMax(0, h);
}

int TForm1::PanelRBHeight() const {
  if (pendingPanelRBHeight_ >= 0) return pendingPanelRBHeight_;
  return Splitter3_->sizes().value(1);
}

void TForm1::SetPanelRBHeight(int height) { ApplyPanelRBHeight(height, Splitter3_->isVisible()); }

void TForm1::ApplyPanelRBHeight(int height, bool laidOut) {
  const int total = Splitter3_->height() - Splitter3_->handleWidth();
  if (!laidOut || total <= 0) {
    // Not laid out yet: applied at the first resize.
    pendingPanelRBHeight_ = height;
    return;
  }
  pendingPanelRBHeight_ = -1;
  Splitter3_->setSizes({qMax(0, total - height), height});
}

int TForm1::PanelRBTHeight() const { return PanelRBT_->height() > 0 ? PanelRBT_->height() : PanelRBT_->maximumHeight(); }

bool TForm1::TextPaneVisible() const { return !RichEdit1_->isHidden(); }

QString TForm1::CurrentFolder() const { return selection_->Folder(); }

void TForm1::ApplyFileViewStyle(browser::TViewStyle style) {
  fileViewStyle_ = style;
  FileView1_->SetViewStyle(style);
  static const char* const kButtons[] = {"ToolButton13", "ToolButton22", "ToolButton27", "ToolButton28"};
  static const char* const kItems[] = {"Mbigicon", "Msmallicon", "Mlist", "Mreport"};
  for (int i = 0; i < 4; ++i) {
    const bool on = i + 1 == static_cast<int>(style);
    if (QAction* a = Action(kButtons[i])) a->setChecked(on);
    if (QAction* a = Action(kItems[i])) a->setChecked(on);
  }
}

}  // namespace sorabu::app
