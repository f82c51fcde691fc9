#include "app/staging_merge.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <optional>

#include "textconv/system_error.h"
#include "fileops/file_io.h"
#include "fileops/shfop.h"
#include "textconv/cp932.h"
#include "textconv/ui_text.h"

namespace sorabu::app {

namespace fs = std::filesystem;

namespace {

using Choice = dialogs::TDialogs::CollisionChoice;

std::string Shown(const fs::path& p) { return textconv::Utf8ToCp932Exact(p.string()); }

struct Step {
  enum Kind { New, Replace, Rename } kind;
  fs::path from;
  fs::path folder;
  std::string name;
};

struct Collision {
  fs::path from;
  fs::path folder;
  std::string name;
  struct stat source {}, target {};
};

bool IsFolder(const struct stat& st) { return S_ISDIR(st.st_mode); }

std::vector<fs::path> SortedEntries(const fs::path& folder) {
  std::vector<fs::path> entries;
  std::error_code ec;
  for (const fs::directory_entry& e : fs::directory_iterator(folder, ec)) entries.push_back(e.path());
  std::sort(entries.begin(), entries.end());
  return entries;
}

// Walks staging against the destination: new items become steps at once, taken names are
// collected to be asked about; folders present on both sides are walked into.
void Survey(const fs::path& from, const fs::path& to, std::vector<Step>& steps, std::vector<Collision>& collisions) {
  for (const fs::path& entry : SortedEntries(from)) {
    const std::string name = entry.filename().string();
    const fs::path target = to / name;
    struct stat s {}, t {};
    if (lstat(entry.c_str(), &s) != 0) continue;
    if (lstat(target.c_str(), &t) != 0) {
      steps.push_back({Step::New, entry, to, name});
      continue;
    }
    if (IsFolder(s) && IsFolder(t)) {
      Survey(entry, target, steps, collisions);
      continue;
    }
    collisions.push_back({entry, to, name, s, t});
  }
}

}  // namespace

MergeOutcome MergeStaging(const fs::path& staging, const fs::path& destination, dialogs::TDialogs& dialogs,
                          std::vector<std::string>& problems) {
  std::vector<Step> steps;
  std::vector<Collision> collisions;
  Survey(staging, destination, steps, collisions);

  std::optional<Choice> forAll;
  for (std::size_t i = 0; i < collisions.size(); ++i) {
    const Collision& c = collisions[i];
    Choice choice;
    if (forAll) {
      choice = *forAll;
    } else {
      dialogs::TDialogs::CollisionSetup setup;
      setup.name = c.name;
      setup.folder = c.folder.string();
      setup.sourceIsFolder = IsFolder(c.source);
      setup.targetIsFolder = IsFolder(c.target);
      setup.sourceSize = static_cast<unsigned long long>(c.source.st_size);
      setup.targetSize = static_cast<unsigned long long>(c.target.st_size);
      setup.sourceTime = c.source.st_mtime;
      setup.targetTime = c.target.st_mtime;
      setup.remaining = static_cast<int>(collisions.size() - i - 1);
      const auto answer = dialogs.Collision(setup);
      if (answer.choice == Choice::Cancel) return MergeOutcome::Cancelled;
      if (answer.applyToAll) forAll = answer.choice;
      choice = answer.choice;
    }
    if (choice == Choice::Skip) continue;
    if (choice == Choice::Replace && IsFolder(c.source) != IsFolder(c.target)) {
      problems.push_back(Shown(c.folder / c.name) + " : " +
                         textconv::Utf8ToCp932(IsFolder(c.source) ? "ファイルをフォルダーで置き換えることはできません。"
                                                                  : "フォルダーをファイルで置き換えることはできません。"));
      continue;
    }
    steps.push_back({choice == Choice::Replace ? Step::Replace : Step::Rename, c.from, c.folder, c.name});
  }

  // New names first, so that a free name found for a renamed item never takes one of theirs.
  std::stable_sort(steps.begin(), steps.end(), [](const Step& a, const Step& b) { return a.kind < b.kind; });
  for (const Step& step : steps) {
    std::string name = step.name;
    if (step.kind == Step::Rename) name = fileops::FreeName(step.folder.string(), step.name);
    const fs::path target = step.folder / name;
    // Replacing is what was agreed to; anything else never takes a name that appeared meanwhile.
    const bool moved = step.kind == Step::Replace ? std::rename(step.from.c_str(), target.c_str()) == 0
                                                  : fileops::io::RenameNoReplace(step.from.string(), target.string());
    if (!moved) problems.push_back(Shown(target) + " : " + textconv::Utf8ToCp932(textconv::SystemErrorUtf8(errno)));
  }
  return problems.empty() ? MergeOutcome::Done : MergeOutcome::Partly;
}

}  // namespace sorabu::app
