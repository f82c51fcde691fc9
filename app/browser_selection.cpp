#include "app/browser_selection.h"

#include "browser/file_name.h"
#include "browser/file_view.h"
#include "browser/folder_counter.h"
#include "browser/shell_namespace.h"
#include "uitext/qt_text.h"
#include "viewer/file_info.h"
#include "viewer/status_panels.h"

namespace sorabu::app {

TBrowserSelection::TBrowserSelection(browser::TFileView& list, browser::TFolderCounter& counter,
                                     viewer::TStatusPanels* status)
    : list_(list), counter_(counter), status_(status) {}

QString TBrowserSelection::Folder() const { return list_.Folder(); }
QString TBrowserSelection::SelectedPath() const { return list_.SelectedPath(); }
QString TBrowserSelection::SelectedUnreachableInfo() const {
  const int row = list_.CurrentRow();
  if (row < 0 || row >= list_.RowCount() || !list_.Row(row).unreachable) return {};
  return list_.Row(row).name + QStringLiteral("    ") + browser::UnreachableNameNote();
}
int TBrowserSelection::SelectByName(const QString& name) { return list_.SelectByName(name); }
int TBrowserSelection::SelectedCount() const { return list_.SelectedCount(); }

void TBrowserSelection::UpdateCounts() {
  const QString folder = list_.Folder();
  if (status_) status_->SetPanelText(0, browser::IsVirtual(folder) ? browser::DisplayName(folder) : folder, false);
  if (folder.isEmpty() || browser::IsVirtual(folder)) {
    ShowCounts(folder, 0, 0);
    return;
  }
  // Figures of another folder would mislead while this one is counted.
  if (status_ && !counter_.Knows(folder)) {
    status_->SetPanelText(1, QStringLiteral(" "));
    status_->SetPanelText(2, QStringLiteral(" "));
  }
  counter_.Start(folder);
}

void TBrowserSelection::ShowCounts(const QString& folder, unsigned long long files, unsigned long long bytes) {
  if (!status_ || folder != list_.Folder()) return;
  auto framed = [](unsigned long long n, const char* unit) {
    const QString s = uitext::FromCp932(viewer::FormatNumber15(n)).trimmed();
    return QLatin1Char(' ') + s + QLatin1Char(' ') + QString::fromUtf8(unit) + QLatin1Char(' ');
  };
  status_->SetPanelText(1, framed(files, "個"));
  status_->SetPanelText(2, framed(bytes, "byte"));
}

}  // namespace sorabu::app
