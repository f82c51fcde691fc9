#include "app/archive_extract.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "app/archive_staging.h"
#include "app/staging_merge.h"
#include "archive/bind/commands.h"
#include "archive/bind/messages.h"
#include "textconv/system_error.h"
#include "textconv/cp932.h"
#include "textconv/ui_text.h"

namespace sorabu::app {

namespace fs = std::filesystem;

namespace {

std::string C(const std::string& utf8) { return textconv::Utf8ToCp932(utf8); }
std::string Shown(const fs::path& p) { return textconv::Utf8ToCp932Exact(p.string()); }

// Makes folder and every missing parent; made gets the folders made, outermost first. 0 or the
// errno of the step that failed, with failed naming the folder it failed on.
int MakeFolders(const fs::path& folder, std::vector<fs::path>& made, fs::path& failed) {
  std::string text = folder.string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  std::vector<fs::path> missing;
  for (fs::path p(text); !p.empty(); p = p.parent_path()) {
    struct stat st {};
    if (stat(p.c_str(), &st) == 0) {
      if (S_ISDIR(st.st_mode)) break;
      failed = p;
      return ENOTDIR;
    }
    if (errno != ENOENT) {
      failed = p;
      return errno;
    }
    missing.push_back(p);
    if (p == p.parent_path()) break;
  }
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
    if (mkdir(it->c_str(), 0777) != 0 && errno != EEXIST) {
      failed = *it;
      return errno;
    }
    made.push_back(*it);
  }
  return 0;
}

// The folders made for an extraction that did not happen go again (only while empty).
void RemoveMade(const std::vector<fs::path>& made) {
  for (auto it = made.rbegin(); it != made.rend(); ++it) rmdir(it->c_str());
}

bool AskAboutSize(dialogs::TDialogs& dialogs, const ExtractRequest& request) {
  long long written = -1;
  try {
    written = archive::ListedOriginalTotal(request.archiveCp932);
  } catch (const archive::EArchiverError&) {
    return true;  // the extraction itself says what is wrong
  }
  struct stat st {};
  if (written < 0 || stat(request.archive.c_str(), &st) != 0) return true;
  const auto archiveSize = static_cast<unsigned long long>(st.st_size);
  if (!WritesFarMore(static_cast<unsigned long long>(written), archiveSize, request.limits)) return true;
  const std::string text = C("この書庫を展開すると " + GroupedNumber(static_cast<unsigned long long>(written)) +
                             " バイトになります（書庫のファイルは " + GroupedNumber(archiveSize) +
                             " バイトです）。\n展開先のディスクを使い切るおそれがあります。展開しますか？");
  return dialogs.Confirm(request.caption, text);
}

}  // namespace

bool WritesFarMore(unsigned long long written, unsigned long long archiveSize, const ExtractLimits& limits) {
  if (written <= limits.bytes) return false;
  if (limits.ratio == 0) return true;
  // written / ratio > archiveSize, without the product overflowing.
  return written / limits.ratio > archiveSize || (written / limits.ratio == archiveSize && written % limits.ratio != 0);
}

std::string GroupedNumber(unsigned long long value) {
  std::string digits = std::to_string(value);
  for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) digits.insert(static_cast<std::size_t>(i), ",");
  return digits;
}

ExtractResult ExtractArchive(dialogs::TDialogs& dialogs, const ExtractRequest& request) {
  const auto stopped = [&] { return request.cancelled && request.cancelled(); };
  ExtractResult result;
  if (!AskAboutSize(dialogs, request) || stopped()) {
    result.outcome = ExtractOutcome::Cancelled;
    return result;
  }
  std::vector<fs::path> made;
  fs::path failed;
  if (const int err = MakeFolders(request.destination, made, failed); err != 0) {
    RemoveMade(made);
    dialogs.Error(C("展開先のフォルダー ") + Shown(request.destination) + C(" を作成できません。\n") + Shown(failed) +
                  C(" : " + textconv::SystemErrorUtf8(err)));
    return result;
  }
  std::string password = request.password;
  std::optional<fs::path> staging;
  const auto undo = [&](ExtractOutcome outcome) {
    if (staging) DropStaging(*staging);
    RemoveMade(made);
    result.outcome = outcome;
    return result;
  };
  for (;;) {
    std::string error;
    staging = MakeStagingFolder(request.destination, error);
    if (!staging) {
      RemoveMade(made);
      dialogs.Error(error);
      return result;
    }
    try {
      result.code = request.extract(*staging, password);
    } catch (const archive::EArchiverError& e) {
      dialogs.Error(e.what());
      return undo(ExtractOutcome::Refused);
    }
    if (stopped()) return undo(ExtractOutcome::Cancelled);
    if (result.code != archive::kPasswordCode) break;
    // Whatever the entries without a password wrote goes too: the next run writes everything.
    DropStaging(*staging);
    staging.reset();
    const bool wrong = !password.empty();
    const auto answer = dialogs.Password(
        request.caption, C(wrong ? "パスワードが違います。もう一度入力してください。"
                                 : "この書庫はパスワードで保護されています。パスワードを入力してください。"));
    if (!answer || answer->empty()) {
      result.wrongPassword = wrong;
      return undo(ExtractOutcome::Cancelled);
    }
    password = *answer;
  }
  if (result.code != 0) return undo(ExtractOutcome::LibraryFailed);
  std::vector<std::string> problems;
  const MergeOutcome merged = MergeStaging(*staging, request.destination, dialogs, problems);
  if (merged == MergeOutcome::Cancelled) return undo(ExtractOutcome::Cancelled);
  DropStaging(*staging);
  if (merged == MergeOutcome::Partly) {
    dialogs.ErrorList(request.caption, C("次の項目を処理できませんでした。"), problems);
    result.outcome = ExtractOutcome::Partly;
    return result;
  }
  result.outcome = ExtractOutcome::Done;
  return result;
}

}  // namespace sorabu::app
