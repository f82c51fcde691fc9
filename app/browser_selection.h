// What the viewer asks of the browser: the selected file of the list, selecting by name, and the
// status-bar counts of the current folder (counted on a worker, written when complete).
#pragma once

#include <QString>

#include "viewer/file_selection.h"

namespace sorabu::viewer {
class TStatusPanels;
}
namespace sorabu::browser {
class TFileView;
class TFolderCounter;
}  // namespace sorabu::browser

namespace sorabu::app {

class TBrowserSelection : public viewer::TFileSelection {
 public:
  TBrowserSelection(browser::TFileView& list, browser::TFolderCounter& counter, viewer::TStatusPanels* status);

  // The list's folder (a path, or a virtual id for the desktop and the drives).
  QString Folder() const;

  QString SelectedPath() const override;
  QString SelectedUnreachableInfo() const override;
  int SelectByName(const QString& name) override;
  int SelectedCount() const override;
  // Panel 0 at once; panels 1 and 2 when the count of the folder's tree is complete.
  void UpdateCounts() override;
  // Writes the counts' panels (the counter's answer).
  void ShowCounts(const QString& folder, unsigned long long files, unsigned long long bytes);

 private:
  browser::TFileView& list_;
  browser::TFolderCounter& counter_;
  viewer::TStatusPanels* status_;
};

}  // namespace sorabu::app
