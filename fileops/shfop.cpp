#include "fileops/shfop.h"

#include <fcntl.h>
#include <gio/gio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <deque>
#include <random>

#include "fileops/file_io.h"
#include "fileops/folder_list.h"
#include "fileops/path_names.h"
#include "textconv/cp932.h"
#include "textconv/ui_text.h"
#include "fileops/error_text.h"

namespace sorabu::fileops {

namespace {

using textconv::Utf8ToCp932;
// A path in a message or an error line: every character of the name, whatever code page 932 holds.
std::string Shown(const std::string& native) { return textconv::Utf8ToCp932Exact(native); }

struct GObjectFree {
  void operator()(void* p) const { g_object_unref(p); }
};
using GFilePtr = std::unique_ptr<GFile, GObjectFree>;
struct GErrorFree {
  void operator()(GError* e) const { g_error_free(e); }
};
using GErrorPtr = std::unique_ptr<GError, GErrorFree>;

GFilePtr File(const std::string& path) { return GFilePtr(g_file_new_for_path(path.c_str())); }

using io::JoinPath;
using io::Reason;
using io::RenameNoReplace;

std::string RealPath(const std::string& path) {
  char* r = realpath(path.c_str(), nullptr);
  if (r == nullptr) return path;
  std::string out(r);
  std::free(r);
  return out;
}

std::string TemporaryName() {
  static thread_local std::mt19937_64 random{std::random_device{}()};
  char buf[40];
  std::snprintf(buf, sizeof buf, ".sorabu-%016llx.part", static_cast<unsigned long long>(random()));
  return buf;
}

}  // namespace

unsigned TfFlagsOptions::ShellFlags() const {
  static constexpr unsigned kFlags[] = {0x0040, 0x0080, 0x0001, 0x0010, 0x0200, 0x0008, 0x0004, 0x0100};
  unsigned flags = 0;
  for (unsigned i = 0; i < 8; ++i)
    if ((bits_ >> i) & 1U) flags |= kFlags[i];
  return flags;
}

bool ForceDirectories(const std::string& folder) {
  std::string f = folder;
  if (f.empty()) return false;
  while (f.size() > 1 && f.back() == '/') f.pop_back();
  if (f.size() <= 1 || IsFolder(f)) return true;
  const std::string parent = DirName(f);
  if (parent != f && !ForceDirectories(parent)) return false;
  return mkdir(f.c_str(), 0777) == 0 || (errno == EEXIST && IsFolder(f));
}

// One run of Execute: the items, the totals and the answers given so far.
struct TSHFOP::Work {
  enum class Step { Ok, Failed, Abort, Across };
  using Choice = dialogs::TDialogs::CollisionChoice;

  TSHFOP& op;
  GCancellable* cancellable;
  TFileOpProgress progress;
  std::optional<Choice> forAll;
  std::optional<bool> permanentWhenNoTrash;
  std::chrono::steady_clock::time_point lastReport{};
  unsigned long long fileBase = 0;  // bytes done before the file being copied
  int remaining = 0;

  bool Cancelled() const { return op.cancel_.load() || g_cancellable_is_cancelled(cancellable); }

  void Report(bool force = false) {
    if (!op.OnProgress || op.Options.Has(TfFlagsOption::SILENT)) return;
    const auto now = std::chrono::steady_clock::now();
    if (!force && now - lastReport < std::chrono::milliseconds(40)) return;
    lastReport = now;
    op.OnProgress(progress);
  }

  // Each item is reported as it starts, so a progress window always names the one at work.
  void Current(const std::string& path) {
    if (!op.Options.Has(TfFlagsOption::SIMPLEPROGRESS)) progress.current = path;
    Report(true);
  }

  void Done(unsigned long long bytes, unsigned long long files) {
    progress.bytesDone += bytes;
    progress.filesDone += files;
    Report();
  }

  Step Fail(const std::string& path, const std::string& reason) {
    op.errors_.push_back(Shown(path) + " : " + reason);
    return Step::Failed;
  }
  Step FailUtf8(const std::string& path, const char* reason) { return Fail(path, Utf8ToCp932(reason)); }
  Step FailErrno(const std::string& path, int error) { return Fail(path, Utf8ToCp932(Reason(error))); }
  Step FailGio(const std::string& path, const GError* e) {
    if (g_error_matches(e, G_IO_ERROR, G_IO_ERROR_CANCELLED)) return Step::Abort;
    return Fail(path, Utf8ToCp932(GioErrorText(e)));
  }

  // Bytes and files of a tree, as collected (links and specials count as files of their size).
  static void Measure(const std::string& path, unsigned long long& bytes, unsigned long long& files) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) return;
    if (!S_ISDIR(st.st_mode)) {
      if (S_ISREG(st.st_mode)) bytes += static_cast<unsigned long long>(st.st_size);
      ++files;
      return;
    }
    for (const std::string& n : FolderNames(path)) Measure(JoinPath(path, n), bytes, files);
  }

  std::optional<Choice> Ask(const std::string& src, const struct stat& s, const std::string& folder,
                            const std::string& name, const struct stat& t) {
    if (forAll) return forAll;
    if (op.Options.Has(TfFlagsOption::NOCONFIRMATION)) return Choice::Replace;
    if (op.Options.Has(TfFlagsOption::RENAMEONCOLLISION)) return Choice::Rename;
    dialogs::TDialogs::CollisionSetup setup;
    setup.name = name;
    setup.folder = folder;
    setup.sourceIsFolder = S_ISDIR(s.st_mode);
    setup.targetIsFolder = S_ISDIR(t.st_mode);
    setup.sourceSize = static_cast<unsigned long long>(s.st_size);
    setup.targetSize = static_cast<unsigned long long>(t.st_size);
    setup.sourceTime = s.st_mtime;
    setup.targetTime = t.st_mtime;
    setup.remaining = remaining;
    (void)src;
    const auto answer = op.dialogs_.Collision(setup);
    if (answer.choice == Choice::Cancel) return std::nullopt;
    if (answer.applyToAll) forAll = answer.choice;
    return answer.choice;
  }

  static void OnCopyProgress(goffset current, goffset, gpointer data) {
    auto* w = static_cast<Work*>(data);
    w->progress.bytesDone = w->fileBase + static_cast<unsigned long long>(current);
    w->Report();
  }

  // Copies one file or link to target under a temporary name first.
  Step CopyFile(const std::string& src, const struct stat& s, const std::string& folder,
                const std::string& target, bool replace) {
    const std::string temporary = JoinPath(folder, TemporaryName());
    GError* raw = nullptr;
    fileBase = progress.bytesDone;
    const auto flags = static_cast<GFileCopyFlags>(G_FILE_COPY_NOFOLLOW_SYMLINKS | G_FILE_COPY_ALL_METADATA);
    const bool ok = g_file_copy(File(src).get(), File(temporary).get(), flags, cancellable,
                                S_ISREG(s.st_mode) ? &Work::OnCopyProgress : nullptr, this, &raw);
    GErrorPtr error(raw);
    if (!ok) {
      // A copy that stopped half way must not stay behind under any name.
      unlink(temporary.c_str());
      progress.bytesDone = fileBase;
      return FailGio(src, error.get());
    }
    const bool placed = replace ? std::rename(temporary.c_str(), target.c_str()) == 0
                                : RenameNoReplace(temporary, target);
    if (!placed) {
      const int e = errno;
      unlink(temporary.c_str());
      progress.bytesDone = fileBase;
      return FailErrno(target, e);
    }
    progress.bytesDone = fileBase + (S_ISREG(s.st_mode) ? static_cast<unsigned long long>(s.st_size) : 0);
    Done(0, 1);
    return Step::Ok;
  }

  // across: the source and the destination are known to lie on different file systems.
  Step TransferChildren(const std::string& src, const std::string& target, bool move, bool across) {
    bool readable = false;
    const std::vector<std::string> names = FolderNames(src, &readable);
    if (!readable) return FailErrno(src, errno);
    Step result = Step::Ok;
    for (const std::string& n : names) {
      if (Cancelled()) return Step::Abort;
      const Step step = Transfer(JoinPath(src, n), target, n, move, false, across);
      if (step == Step::Abort) return step;
      if (step == Step::Failed) result = Step::Failed;
    }
    return result;
  }

  // Copies or moves src into folder under name. Only an item the user chose (top) can be its own
  // destination or contain it; what lies below it cannot.
  Step Transfer(const std::string& src, const std::string& folder, std::string name, bool move, bool top,
                bool across) {
    if (Cancelled()) return Step::Abort;
    struct stat s {};
    if (lstat(src.c_str(), &s) != 0) return FailErrno(src, errno);
    Current(src);
    std::string target = JoinPath(folder, name);
    if (top) {
      const std::string realSource = RealPath(src);
      const std::string realTarget = JoinPath(RealPath(folder), name);
      if (realSource == realTarget) {
        if (move) {
          unsigned long long bytes = 0, files = 0;
          Measure(src, bytes, files);
          Done(bytes, files);
          return Step::Ok;
        }
        name = FreeName(folder, name);
        target = JoinPath(folder, name);
      }
      if (S_ISDIR(s.st_mode) && realTarget.rfind(realSource + "/", 0) == 0)
        return FailUtf8(src, "フォルダーをそれ自身の中にコピーまたは移動することはできません。");
    }
    if (!S_ISDIR(s.st_mode) && !S_ISREG(s.st_mode) && !S_ISLNK(s.st_mode))
      return FailUtf8(src, "特殊なファイル（パイプやデバイス）はコピーも移動もできません。");

    struct stat t {};
    const bool exists = lstat(target.c_str(), &t) == 0;
    bool replace = false;
    if (exists) {
      const auto choice = Ask(src, s, folder, name, t);
      if (!choice) return Step::Abort;
      if (*choice == Choice::Skip) {
        unsigned long long bytes = 0, files = 0;
        Measure(src, bytes, files);
        Done(bytes, files);
        return Step::Ok;
      }
      if (*choice == Choice::Rename) {
        name = FreeName(folder, name);
        target = JoinPath(folder, name);
      } else {
        replace = true;
        if (S_ISDIR(s.st_mode) != S_ISDIR(t.st_mode))
          return FailUtf8(target, S_ISDIR(s.st_mode) ? "ファイルをフォルダーで置き換えることはできません。"
                                                    : "フォルダーをファイルで置き換えることはできません。");
      }
    }

    if (S_ISDIR(s.st_mode)) {
      if (replace) {
        // Two folders of one name become one: their contents meet, name by name.
        const Step step = TransferChildren(src, target, move, across);
        if (move && step == Step::Ok) rmdir(src.c_str());
        return step;
      }
      if (move && !across) {
        const Step step = MoveByRename(src, target, false);
        if (step != Step::Across) return step;
        across = true;
      }
      GError* raw = nullptr;
      if (!g_file_make_directory(File(target).get(), cancellable, &raw)) return FailGio(target, GErrorPtr(raw).get());
      Step step = TransferChildren(src, target, move, across);
      // The folder's own times and permissions last, after its contents stopped changing them.
      const auto flags = static_cast<GFileCopyFlags>(G_FILE_COPY_NOFOLLOW_SYMLINKS | G_FILE_COPY_ALL_METADATA);
      g_file_copy_attributes(File(src).get(), File(target).get(), flags, nullptr, nullptr);
      if (move && step == Step::Ok && rmdir(src.c_str()) != 0) step = FailErrno(src, errno);
      return step;
    }
    if (move && !across) {
      const Step step = MoveByRename(src, target, replace);
      if (step != Step::Across) return step;
    }
    Step step = CopyFile(src, s, folder, target, replace);
    if (move && step == Step::Ok && unlink(src.c_str()) != 0)
      step = Fail(src, Utf8ToCp932("移動先にコピーしましたが、元のファイルを削除できませんでした: " + Reason(errno)));
    return step;
  }

  // A move within one file system is a rename; Across tells the caller to copy instead.
  Step MoveByRename(const std::string& src, const std::string& target, bool replace) {
    const bool ok = replace ? std::rename(src.c_str(), target.c_str()) == 0 : RenameNoReplace(src, target);
    if (!ok) return errno == EXDEV ? Step::Across : FailErrno(src, errno);
    unsigned long long bytes = 0, files = 0;
    Measure(target, bytes, files);
    Done(bytes, files);
    return Step::Ok;
  }

  Step DeleteTree(const std::string& path) {
    if (Cancelled()) return Step::Abort;
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) return FailErrno(path, errno);
    Current(path);
    Step result = Step::Ok;
    if (S_ISDIR(st.st_mode)) {
      bool readable = false;
      const auto names = FolderNames(path, &readable);
      if (!readable) return FailErrno(path, errno);
      for (const std::string& n : names) {
        const Step step = DeleteTree(JoinPath(path, n));
        if (step == Step::Abort) return step;
        if (step == Step::Failed) result = Step::Failed;
      }
      if (result != Step::Ok) return result;
    }
    GError* raw = nullptr;
    if (!g_file_delete(File(path).get(), cancellable, &raw)) return FailGio(path, GErrorPtr(raw).get());
    if (!S_ISDIR(st.st_mode)) Done(S_ISREG(st.st_mode) ? static_cast<unsigned long long>(st.st_size) : 0, 1);
    return Step::Ok;
  }

  Step Trash(const std::string& path) {
    if (Cancelled()) return Step::Abort;
    Current(path);
    unsigned long long bytes = 0, files = 0;
    Measure(path, bytes, files);
    GError* raw = nullptr;
    if (g_file_trash(File(path).get(), cancellable, &raw)) {
      Done(bytes, files);
      return Step::Ok;
    }
    GErrorPtr error(raw);
    if (!g_error_matches(error.get(), G_IO_ERROR, G_IO_ERROR_NOT_SUPPORTED)) return FailGio(path, error.get());
    // No trash on that file system: deleting needs its own yes, once per run.
    if (!permanentWhenNoTrash) {
      permanentWhenNoTrash = op.dialogs_.Confirm(
          op.ProgressTitle, Shown(path) + Utf8ToCp932(" はごみ箱に移動できません。完全に削除しますか？"));
    }
    if (!*permanentWhenNoTrash) return FailGio(path, error.get());
    return DeleteTree(path);
  }
};

TSHFOP::TSHFOP(dialogs::TDialogs& dialogs) : dialogs_(dialogs) { cancellable_ = g_cancellable_new(); }

TSHFOP::~TSHFOP() { g_object_unref(static_cast<GCancellable*>(cancellable_.load())); }

void TSHFOP::Cancel() {
  cancel_ = true;
  g_cancellable_cancel(static_cast<GCancellable*>(cancellable_.load()));
}

unsigned long long TSHFOP::Collect(std::vector<std::string>& items) {
  fileList_.clear();
  unsigned long long bytes = 0;
  auto add = [this, &bytes](const std::string& path) {
    std::deque<std::string> queue{path};
    while (!queue.empty()) {
      const std::string p = queue.front();
      queue.pop_front();
      struct stat st {};
      if (lstat(p.c_str(), &st) != 0) continue;
      if (S_ISDIR(st.st_mode)) {
        for (const std::string& n : FolderNames(p)) queue.push_back(JoinPath(p, n));
        continue;
      }
      if (S_ISREG(st.st_mode)) bytes += static_cast<unsigned long long>(st.st_size);
      TCollectedFile f{p, std::nullopt};
      if (GetFileList) {
        TFileRecord r;
        FillRecord(p, st, r);
        f.record = r;
      }
      fileList_.push_back(std::move(f));
    }
  };
  for (const std::string& entry : FromFFList) {
    if (HasWildcard(BaseName(entry))) {
      const std::string folder = DirName(entry);
      const std::string pattern = BaseName(entry);
      for (const std::string& n : FolderNames(folder)) {
        if (!WildcardMatch(pattern, n)) continue;
        const std::string path = JoinPath(folder, n);
        struct stat st {};
        if (lstat(path.c_str(), &st) != 0) continue;
        if (Options.Has(TfFlagsOption::FILESONLY) && S_ISDIR(st.st_mode)) continue;
        items.push_back(path);
        add(path);
      }
      continue;
    }
    struct stat st {};
    if (lstat(entry.c_str(), &st) != 0) continue;
    items.push_back(entry);
    add(entry);
  }
  return bytes;
}

bool TSHFOP::EnsureDestination() {
  if (IsFolder(ToFolder)) return true;
  if (!Options.Has(TfFlagsOption::NOCONFIRMMKDIR)) {
    const std::string text = Shown(ToFolder) + Utf8ToCp932(" は存在しません. 作成しますか？");
    if (!dialogs_.Confirm(ProgressTitle, text)) return false;
  }
  if (ForceDirectories(ToFolder)) return true;
  errors_.push_back(Shown(ToFolder) + " : " + Utf8ToCp932("ディレクトリを作成することができません"));
  return false;
}

bool TSHFOP::Execute() {
  if (FromFFList.empty() || (OperationF != TwFuncOption::wDELETE && ToFolder.empty())) return false;
  errors_.clear();
  std::vector<std::string> items;
  const unsigned long long bytes = Collect(items);

  std::string to = ToFolder;
  if (OperationF == TwFuncOption::wRENAME) {
    const std::string last = BaseName(to);
    if (last.size() > 1 && last[0] == '*' && last[1] == '.') {
      const auto star = to.find('*');
      to.insert(star, "?");
    }
  }
  aborted_ = true;
  cancel_ = false;
  auto* cancellable = static_cast<GCancellable*>(cancellable_.load());
  g_cancellable_reset(cancellable);

  bool execFlag = true;
  if (OnPrepared) OnPrepared(*this, execFlag);
  const bool transfer = OperationF == TwFuncOption::wCOPY || OperationF == TwFuncOption::wMOVE;
  const bool multi = Options.Has(TfFlagsOption::MULTIDESTFILES);
  if (transfer && !multi && execFlag && !EnsureDestination()) {
    if (!errors_.empty()) dialogs_.ErrorList(ProgressTitle, Utf8ToCp932("次の項目を処理できませんでした。"), errors_);
    return false;
  }
  if (!execFlag) return false;
  if (items.empty()) {
    aborted_ = false;
    return true;
  }

  Work work{*this, cancellable, {}, {}, {}, {}, 0, 0};
  work.progress.bytesTotal = bytes;
  work.progress.filesTotal = fileList_.size();
  work.Report(true);

  if (OperationF == TwFuncOption::wDELETE && !Options.Has(TfFlagsOption::NOCONFIRMATION)) {
    const bool undo = Options.Has(TfFlagsOption::ALLOWUNDO);
    const std::string what = items.size() == 1 ? Utf8ToCp932("「") + Shown(BaseName(items[0])) + Utf8ToCp932("」")
                                               : Utf8ToCp932("これらの " + std::to_string(items.size()) + " 個の項目");
    const std::string text = what + Utf8ToCp932(undo ? "をごみ箱に移動しますか？" : "を完全に削除しますか？");
    if (!dialogs_.Confirm(ProgressTitle, text)) return false;
  }

  std::vector<std::string> targets;
  if (multi) {
    std::size_t start = 0;
    while (start < ToFolder.size()) {
      const auto end = ToFolder.find('\0', start);
      targets.push_back(ToFolder.substr(start, end == std::string::npos ? std::string::npos : end - start));
      if (end == std::string::npos) break;
      start = end + 1;
    }
  }

  bool aborted = false;
  for (std::size_t i = 0; i < items.size() && !aborted; ++i) {
    const std::string& item = items[i];
    work.remaining = static_cast<int>(items.size() - i - 1);
    Work::Step step = Work::Step::Ok;
    switch (OperationF) {
      case TwFuncOption::wCOPY:
      case TwFuncOption::wMOVE: {
        std::string folder = ToFolder, name = BaseName(item);
        if (multi) {
          if (i >= targets.size()) {
            step = work.FailUtf8(item, "移動先またはコピー先が指定されていません。");
            break;
          }
          folder = DirName(targets[i]);
          name = BaseName(targets[i]);
          if (!ForceDirectories(folder)) {
            step = work.FailUtf8(folder, "ディレクトリを作成することができません");
            break;
          }
        }
        step = work.Transfer(item, folder, name, OperationF == TwFuncOption::wMOVE, true, false);
        break;
      }
      case TwFuncOption::wDELETE:
        step = Options.Has(TfFlagsOption::ALLOWUNDO) ? work.Trash(item) : work.DeleteTree(item);
        break;
      case TwFuncOption::wRENAME: {
        const std::string mask = BaseName(to);
        const std::string name = HasWildcard(mask) ? ApplyRenameMask(mask, BaseName(item)) : mask;
        const std::string folder = to.find('/') == std::string::npos ? DirName(item) : DirName(to);
        const std::string target = JoinPath(folder.front() == '/' ? folder : JoinPath(DirName(item), folder), name);
        if (name.empty() || target == item) break;
        if (!RenameNoReplace(item, target)) step = work.FailErrno(item, errno);
        else work.Done(0, 1);
        break;
      }
    }
    aborted = step == Work::Step::Abort || work.Cancelled();
  }
  work.progress.current.clear();
  work.Report(true);
  aborted_ = aborted;
  if (!errors_.empty()) dialogs_.ErrorList(ProgressTitle, Utf8ToCp932("次の項目を処理できませんでした。"), errors_);
  return !aborted_ && errors_.empty();
}

}  // namespace sorabu::fileops
