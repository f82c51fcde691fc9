// Printing the text pane: print, print preview, the margins dialog and the printer setup, with
// their menu items and tool buttons. The pane's bytes and font are printed, not its widget.
#include <QAction>
#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QPaintEngine>
#include <QPrinter>
#include <QScreen>
#include <QStyle>
#include <QToolBar>
#include <thread>

#include "app/browser_selection.h"
#include "app/main_window.h"
#include "app/menu_items.h"
#include "app/wait_cursor.h"
#include "settings/ini_file.h"
#include "uitext/qt_text.h"
#include "viewer/printing.h"
#include "viewer/text_pane.h"

namespace sorabu::app {

namespace {

using uitext::U;
std::string C(const char* utf8) { return uitext::ToCp932(U(utf8)); }

constexpr const char* kSection = "Print";
constexpr const char* kTop = "Yohaku_T";
constexpr const char* kLeft = "Yohaku_L";
constexpr const char* kBottom = "Yohaku_B";
constexpr const char* kRight = "Yohaku_R";

// The preview records its pages as pictures. Its widget frees the pages it shows when it records
// them again and shows the old ones until then, so no event may pass meanwhile; recording is quick.
bool Previewing(QPrinter& printer) {
  const QPaintEngine* engine = printer.paintEngine();
  return engine != nullptr && engine->type() == QPaintEngine::Picture;
}

int ScreenDpi() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? qRound(screen->logicalDotsPerInch()) : 96;
}

}  // namespace

void TForm1::BuildPrintCommands() {
  static const MenuItemSpec kItems[] = {
      {"Mprint", "Mprint1", "印刷(&P)...", &TForm1::MprintClick},
      {"Mprintpreview", "Mprintpreview1", "印刷プレビュー(&V)", &TForm1::MprintpreviewClick},
      {"Mprintset", "Mprintset1", "印刷設定(&G)...", &TForm1::MprintsetClick},
      {"Mprinter1", "Mprinter2", "プリンタ設定(&T)...", &TForm1::Mprinter1Click},
  };
  // A group of its own, set off from exit as well.
  const std::array<QAction*, 2> before = BeforeExit(menus_.file);
  for (const bool popup : {false, true}) (popup ? menus_.file.popup : menus_.file.main)->insertSeparator(before[popup]);
  InsertTwins(*this, menus_.file, before, kItems);
  if (QAction* print = Action("Mprint")) print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));

  ToolButton(*this, ToolBar1_, "ToolButton36", QStyle::SP_DialogSaveButton, &TForm1::MprintClick);
  ToolButton(*this, ToolBar1_, "ToolButton35", QStyle::SP_FileDialogDetailedView, &TForm1::MprintsetClick);
}

QPrinter& TForm1::Printer() {
  if (!print_.printer) {
    print_.printer = std::unique_ptr<QPrinter, void (*)(QPrinter*)>(new QPrinter(QPrinter::HighResolution),
                                                            [](QPrinter* p) { delete p; });
  }
  return *print_.printer;
}

void TForm1::LoadPrintMargins() {
  const settings::TIniFile ini(iniPath_);
  const viewer::PrintMargins margins{
      viewer::MarginValue(ini.ReadString(kSection, kTop, "0")), viewer::MarginValue(ini.ReadString(kSection, kLeft, "0")),
      viewer::MarginValue(ini.ReadString(kSection, kBottom, "0")),
      viewer::MarginValue(ini.ReadString(kSection, kRight, "0"))};
  print_.pageRect = viewer::PageRectFromMargins(margins, viewer::MetricsOf(Printer()));
}

viewer::PrintJob TForm1::PaneJob(QPrinter& printer) {
  const std::string bytes = RichEdit1_->TextBytes();
  const bool rtf = !RichEdit1_->PlainTextMode() && bytes.rfind("{\\rtf", 0) == 0;
  viewer::PrintJob job;
  job.lines = viewer::PrintLines(bytes, rtf);
  job.font = RichEdit1_->font();
  job.tabWidth = state_.TabWidth;
  job.area = viewer::PrintArea(print_.pageRect, viewer::MetricsOf(printer));
  printer.setDocName(QFileInfo(selection_->SelectedPath()).fileName());
  return job;
}

// Prints the pane's text on the printer, or records it for the preview.
void TForm1::PrintPane(QPrinter& printer) {
  const viewer::PrintJob job = PaneJob(printer);
  TWaitCursor wait;
  print_.printing = true;
  int pages = 0;
  if (Previewing(printer)) {
    pages = viewer::PrintText(printer, job);
  } else {
    // Qt writes the end of a print (a PDF, with its fonts) in one step that takes seconds for a
    // long text, so the pages are painted beside the window's thread: the window keeps painting,
    // and the user's input waits until the print is done.
    // The join hands everything the thread wrote (the printer, the page count) back to this one.
    QEventLoop loop;
    std::thread worker([&printer, &job, &pages, &loop] {
      pages = viewer::PrintText(printer, job);
      QMetaObject::invokeMethod(&loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
  }
  print_.printing = false;
  if (pages == 0) dialogs_.Error(C("印刷できませんでした。"));
}

void TForm1::MprintClick() {
  if (print_.printing) return;
  QPrinter& printer = Printer();
  if (!dialogs_.PrinterSetup(printer, true)) return;
  LoadPrintMargins();
  PrintPane(printer);
}

void TForm1::MprintpreviewClick() {
  if (print_.printing) return;
  dialogs_.PrintPreview(Printer(), [this](QPrinter& printer) {
    // The preview may change the paper: the rectangle is measured on it each time.
    LoadPrintMargins();
    PrintPane(printer);
  });
}

void TForm1::Mprinter1Click() {
  if (print_.printing) return;
  dialogs_.PrinterSetup(Printer(), false);
}

void TForm1::MprintsetClick() {
  if (print_.printing) return;
  QPrinter& printer = Printer();
  const viewer::PrinterMetrics metrics = viewer::MetricsOf(printer);
  const viewer::MarginRanges ranges = viewer::RangesOf(metrics);
  viewer::PrintMargins margins;
  {
    const settings::TIniFile ini(iniPath_);
    margins = {viewer::MarginValue(ini.ReadString(kSection, kTop, "")), viewer::MarginValue(ini.ReadString(kSection, kLeft, "")),
               viewer::MarginValue(ini.ReadString(kSection, kBottom, "")),
               viewer::MarginValue(ini.ReadString(kSection, kRight, ""))};
  }
  margins = viewer::FitMargins(margins, ranges);
  print_.pageRect = viewer::PageRectFromMargins(margins, metrics);

  dialogs::TDialogs::PrintMarginSetup setup;
  setup.top = std::to_string(margins.top);
  setup.bottom = std::to_string(margins.bottom);
  setup.left = std::to_string(margins.left);
  setup.right = std::to_string(margins.right);
  setup.topRange = {ranges.top.minimum, ranges.top.maximum};
  setup.bottomRange = {ranges.bottom.minimum, ranges.bottom.maximum};
  setup.leftRange = {ranges.left.minimum, ranges.left.maximum};
  setup.rightRange = {ranges.right.minimum, ranges.right.maximum};
  setup.paper = viewer::PaperLabel(viewer::PaperCode(printer), metrics, ScreenDpi());
  const auto answer = dialogs_.PrintMargins(setup);
  if (!answer) return;

  margins = viewer::FitMargins({viewer::MarginValue(answer->top), viewer::MarginValue(answer->left),
                                viewer::MarginValue(answer->bottom), viewer::MarginValue(answer->right)},
                               ranges);
  print_.pageRect = viewer::PageRectFromMargins(margins, metrics);
  settings::TIniFile ini(iniPath_);
  ini.WriteString(kSection, kTop, std::to_string(margins.top));
  ini.WriteString(kSection, kLeft, std::to_string(margins.left));
  ini.WriteString(kSection, kBottom, std::to_string(margins.bottom));
  ini.WriteString(kSection, kRight, std::to_string(margins.right));
  if (!ini.UpdateFile()) dialogs_.Error(ini.Error());
  LoadPrintMargins();
}

}  // namespace sorabu::app
