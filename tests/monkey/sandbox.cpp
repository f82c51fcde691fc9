#include "tests/monkey/sandbox.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace fs = std::filesystem;

namespace sorabu::monkey {

namespace {

bool Below(const fs::path& path, const fs::path& top) {
  const std::string p = path.native(), t = top.native();
  return p == t || (p.size() > t.size() && p.compare(0, t.size(), t) == 0 && p[t.size()] == '/');
}

TTreeSnapshot::Entry Examine(const fs::path& path, bool& ok) {
  struct stat st {};
  ok = ::lstat(path.c_str(), &st) == 0;
  TTreeSnapshot::Entry e;
  if (!ok) return e;
  e.type = S_ISREG(st.st_mode) ? 'f' : S_ISDIR(st.st_mode) ? 'd' : S_ISLNK(st.st_mode) ? 'l' : 'o';
  e.size = e.type == 'd' ? 0 : static_cast<std::uintmax_t>(st.st_size);
  e.mtimeNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return e;
}

}  // namespace

TTreeSnapshot TTreeSnapshot::Take(const fs::path& top, const std::vector<fs::path>& skip, std::size_t maxEntries,
                                  int maxDepth) {
  TTreeSnapshot snap;
  snap.top_ = top;
  std::vector<std::pair<fs::path, int>> pending{{top, 0}};
  while (!pending.empty()) {
    auto [folder, depth] = pending.back();
    pending.pop_back();
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
      const fs::path path = it->path();
      if (std::any_of(skip.begin(), skip.end(), [&](const fs::path& s) { return Below(path, s); })) continue;
      if (snap.entries_.size() >= maxEntries) {
        snap.truncated_ = true;
        return snap;
      }
      bool ok = false;
      const Entry e = Examine(path, ok);
      if (!ok) continue;
      snap.entries_[path.native()] = e;
      if (e.type == 'd' && depth + 1 < maxDepth) pending.emplace_back(path, depth + 1);
    }
  }
  return snap;
}

std::vector<std::string> TTreeSnapshot::Differences(const TTreeSnapshot& after) const {
  std::vector<std::string> out;
  for (const auto& [path, e] : entries_) {
    auto it = after.entries_.find(path);
    if (it == after.entries_.end()) out.push_back("gone " + path);
    else if (!(it->second == e)) out.push_back("changed " + path);
  }
  // A truncated walk cannot tell a new path from one it never reached.
  if (!truncated_ && !after.truncated_)
    for (const auto& [path, e] : after.entries_)
      if (!entries_.count(path)) out.push_back("new " + path);
  return out;
}

TSandbox::TSandbox(const fs::path& root, std::uint64_t seed) {
  fs::create_directories(root);
  run_ = fs::absolute(root) / ("run-" + std::to_string(seed) + "-" + std::to_string(::getpid()));
  fs::remove_all(run_);
  work_ = run_ / "work";
  home_ = run_ / "home";
  for (const fs::path& p : {work_, home_ / ".config" / "sorabu", home_ / ".local" / "share", home_ / ".cache",
                            home_ / "tmp", home_ / "runtime", home_ / "Desktop"})
    fs::create_directories(p);
  fs::permissions(home_ / "runtime", fs::perms::owner_all);
}

void TSandbox::EnterEnvironment() const {
  ::setenv("HOME", home_.c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", (home_ / ".config").c_str(), 1);
  ::setenv("XDG_DATA_HOME", (home_ / ".local" / "share").c_str(), 1);
  ::setenv("XDG_CACHE_HOME", (home_ / ".cache").c_str(), 1);
  ::setenv("XDG_RUNTIME_DIR", (home_ / "runtime").c_str(), 1);
  ::setenv("TMPDIR", (home_ / "tmp").c_str(), 1);
  // No desktop session: nothing is handed to a session bus or a desktop's own programs.
  ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
  ::unsetenv("XDG_SESSION_ID");
  ::unsetenv("XDG_CURRENT_DESKTOP");
}

bool TSandbox::Inside(const std::string& path) const { return Below(fs::path(path).lexically_normal(), run_); }
bool TSandbox::InsideWork(const std::string& path) const {
  return Below(fs::path(path).lexically_normal(), work_);
}

namespace {
void RemoveTree(const fs::path& top) {
  std::error_code ec;
  // The unreadable folder would stop the removal of its parent for anyone but root.
  for (fs::recursive_directory_iterator it(top, fs::directory_options::skip_permission_denied, ec), end;
       !ec && it != end; it.increment(ec))
    if (!it->is_symlink(ec)) fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(top, ec);
}
}  // namespace

void TSandbox::ClearWork() const {
  RemoveTree(work_);
  std::error_code ec;
  fs::create_directories(work_, ec);
}

void TSandbox::Remove() const { RemoveTree(run_); }

TOutsideWatch::TOutsideWatch(const fs::path& realHome, const TSandbox& sandbox, const fs::path& programFolder) {
  const fs::path root = sandbox.Run().parent_path();
  std::vector<Place> places{
      {realHome, {realHome / ".cache" / "ccache", realHome / ".claude", sandbox.Run()}, {}},
      {root, {sandbox.Run()}, {}},
      {programFolder, {sandbox.Run()}, {}},
  };
  for (Place& p : places) {
    p.before = TTreeSnapshot::Take(p.top, p.skip);
    places_.push_back(std::move(p));
  }
}

std::string TOutsideWatch::Describe() const {
  std::string text;
  for (const Place& p : places_)
    text += (text.empty() ? "" : ", ") + p.top.native() + " (" + std::to_string(p.before.Size()) +
            (p.before.Truncated() ? "+" : "") + " entries)";
  return text;
}

std::vector<std::string> TOutsideWatch::Check() const {
  std::vector<std::string> all;
  for (const Place& p : places_) {
    auto d = p.before.Differences(TTreeSnapshot::Take(p.top, p.skip));
    all.insert(all.end(), d.begin(), d.end());
  }
  return all;
}

}  // namespace sorabu::monkey
