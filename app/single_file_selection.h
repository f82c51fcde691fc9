// Until the file browser is in place, the window's "selection" is one folder and the file chosen
// in it (the file named on the command line). It answers what the viewer asks of the browser.
#pragma once

#include <QString>
#include <QStringList>

#include "viewer/file_selection.h"

namespace sorabu::viewer {
class TStatusPanels;
}

namespace sorabu::app {

class TSingleFileSelection : public viewer::TFileSelection {
 public:
  explicit TSingleFileSelection(viewer::TStatusPanels* status = nullptr) : status_(status) {}

  void BrowseTo(const QString& folder);
  QString Folder() const { return folder_; }
  void ClearSelection() { selected_.clear(); }

  QString SelectedPath() const override;
  int SelectByName(const QString& name) override;
  int SelectedCount() const override { return static_cast<int>(selected_.size()); }
  void UpdateCounts() override;

  // The figures UpdateCounts writes: files in the folder and their bytes.
  long long FileCount() const { return fileCount_; }
  long long ByteCount() const { return byteCount_; }

 private:
  viewer::TStatusPanels* status_;
  QString folder_;
  QStringList selected_;
  long long fileCount_ = 0;
  long long byteCount_ = 0;
};

}  // namespace sorabu::app
