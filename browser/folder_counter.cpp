#include "browser/folder_counter.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <deque>
#include <string>

namespace sorabu::browser {

TFolderCounts CountFolderTree(const QString& folder, const std::atomic<bool>* cancel) {
  TFolderCounts counts;
  std::deque<std::string> queue{QFile::encodeName(folder).toStdString()};
  while (!queue.empty()) {
    if (cancel && cancel->load(std::memory_order_relaxed)) break;
    const std::string path = std::move(queue.front());
    queue.pop_front();
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) continue;
    DIR* dir = fdopendir(fd);
    if (!dir) {
      close(fd);
      continue;
    }
    while (dirent* e = readdir(dir)) {
      const char* n = e->d_name;
      if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0))) continue;
      unsigned char type = e->d_type;
      struct stat st {};
      bool statted = false;
      if (type == DT_UNKNOWN || type != DT_DIR) {
        statted = fstatat(dirfd(dir), n, &st, AT_SYMLINK_NOFOLLOW) == 0;
        if (statted && S_ISDIR(st.st_mode)) type = DT_DIR;
      }
      if (type == DT_DIR) {
        queue.push_back(path + (path.back() == '/' ? "" : "/") + n);
        continue;
      }
      if (type == DT_LNK) {
        // A link to a folder is neither counted nor followed.
        struct stat target {};
        if (fstatat(dirfd(dir), n, &target, 0) == 0 && S_ISDIR(target.st_mode)) continue;
      }
      ++counts.files;
      if (statted) counts.bytes += static_cast<std::uint64_t>(st.st_size);
    }
    closedir(dir);
  }
  return counts;
}

TFolderCounter::TFolderCounter(QObject* parent) : QObject(parent) { pool_.setMaxThreadCount(1); }

TFolderCounter::~TFolderCounter() {
  if (cancel_) cancel_->store(true);
  pool_.waitForDone();
}

void TFolderCounter::Start(const QString& folder) {
  if (folder == doneFolder_) {
    emit Counted(folder, done_.files, done_.bytes);
    return;
  }
  if (folder == runningFolder_) return;
  if (cancel_) cancel_->store(true);
  cancel_ = std::make_shared<std::atomic<bool>>(false);
  runningFolder_ = folder;
  const unsigned generation = ++generation_;
  std::weak_ptr<int> alive = alive_;
  auto cancel = cancel_;
  pool_.start([this, generation, folder, cancel, alive] {
    const TFolderCounts counts = CountFolderTree(folder, cancel.get());
    if (cancel->load()) return;
    // The answer is handed to the window's thread; it is dropped there if the counter is gone.
    QMetaObject::invokeMethod(QCoreApplication::instance(), [this, generation, folder, counts, alive] {
      if (alive.lock()) Finish(generation, folder, counts);
    }, Qt::QueuedConnection);
  });
}

void TFolderCounter::Finish(unsigned generation, const QString& folder, TFolderCounts counts) {
  if (generation != generation_) return;
  runningFolder_.clear();
  doneFolder_ = folder;
  done_ = counts;
  emit Counted(folder, counts.files, counts.bytes);
}

}  // namespace sorabu::browser
