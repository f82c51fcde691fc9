#include "app/single_file_selection.h"

#include <QDir>
#include <QFileInfo>

#include "viewer/file_info.h"
#include "viewer/status_panels.h"

namespace sorabu::app {

void TSingleFileSelection::BrowseTo(const QString& folder) {
  folder_ = QDir(folder).absolutePath();
  selected_.clear();
}

QString TSingleFileSelection::SelectedPath() const {
  if (selected_.isEmpty() || folder_.isEmpty()) return {};
  return QDir(folder_).filePath(selected_.front());
}

int TSingleFileSelection::SelectByName(const QString& name) {
  selected_.clear();
  if (folder_.isEmpty() || name.isEmpty()) return 0;
  const QStringList entries =
      QDir(folder_).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
  for (const QString& entry : entries)
    if (entry.compare(name, Qt::CaseInsensitive) == 0) selected_ << entry;
  return static_cast<int>(selected_.size());
}

void TSingleFileSelection::UpdateCounts() {
  fileCount_ = byteCount_ = 0;
  if (!folder_.isEmpty()) {
    const QFileInfoList files = QDir(folder_).entryInfoList(QDir::Files | QDir::NoDotAndDotDot);
    for (const QFileInfo& f : files) {
      ++fileCount_;
      byteCount_ += f.size();
    }
  }
  if (!status_) return;
  auto framed = [](unsigned long long n, const char* unit) {
    QString s = viewer::FromCp932(viewer::FormatNumber15(n)).trimmed();
    return QLatin1Char(' ') + s + QLatin1Char(' ') + QString::fromUtf8(unit) + QLatin1Char(' ');
  };
  status_->SetPanelText(0, folder_, false);
  status_->SetPanelText(1, framed(static_cast<unsigned long long>(fileCount_), "個"));
  status_->SetPanelText(2, framed(static_cast<unsigned long long>(byteCount_), "byte"));
}

}  // namespace sorabu::app
