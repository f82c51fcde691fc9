// The main window's state by concern, each a small object the window owns: what the search
// commands remember between steps, the printer, the directory listing at work, the unsaved-edit
// guard and the running text command's progress row.
#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "viewer/printing.h"

class QAction;
class QLabel;
class QPrinter;
class QProgressBar;
class QWidget;

namespace sorabu::app {

class TDirRunner;

// Starts another program (arguments, working folder) without waiting: the disk tool, the external
// editor, the application menu and a program run from the list.
using TLauncher = std::function<bool(const QString& program, const QStringList& arguments, const QString& folder)>;

// Find, replace and Grep (main_window_search.cpp).
struct TSearchState {
  std::string findText;  // the find step's text and options (FindDialog1)
  bool findDown = true, findMatchCase = false, findWholeWord = false;
  std::string replaceFind, replaceWith;  // the replace dialog's texts, and whether it found one
  bool replaceFound = false;
  std::vector<std::pair<std::string, std::string>> grepPaths;  // a result's path as shown, path
  std::vector<QPointer<QAction>> restedActions;  // disabled while Grep runs
  bool grepWasEditable = false;
};

// Printing (main_window_print.cpp).
struct TPrintState {
  std::unique_ptr<QPrinter, void (*)(QPrinter*)> printer{nullptr, nullptr};  // deleted where it is made
  viewer::PageRect pageRect;
  bool printing = false;
};

// The dir command's listing (main_window_drive.cpp).
struct TDirListing {
  TDirRunner* runner = nullptr;
  std::string arguments;
};

// Unsaved edits while the selection moves (main_window_unsaved.cpp, main_window_live.cpp).
struct TEditGuard {
  bool holdingPane = false;         // edits kept: the pane stays as it is until the selection is back
  bool askingToSave = false;
  bool restoringSelection = false;  // the list goes back to the edited file
};

// The running text command's row under the pane (main_window_commands.cpp).
struct TCommandProgress {
  std::vector<QAction*> actions;  // the commands' items, disabled while one runs
  QWidget* box = nullptr;
  QLabel* label = nullptr;
  QProgressBar* bar = nullptr;
};

}  // namespace sorabu::app
