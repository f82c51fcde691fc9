// Where a monkey run may write, and the proof afterwards that it wrote nowhere else.
//
// A run lives in a fresh folder below a root: work/ (the files the window is let loose on) and
// home/ (HOME, the XDG folders and TMPDIR point there). Snapshots of the real home, the root and
// the program's own folder are taken before and compared after; any difference is a write
// outside. Qt-free: it has to be ready before QApplication reads the environment.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace sorabu::monkey {

// Paths with their type, size and modification time, below a folder; bounded so that a large
// home does not make the run slow.
class TTreeSnapshot {
 public:
  struct Entry {
    char type = 'f';  // f file, d folder, l link, o other
    std::uintmax_t size = 0;
    std::int64_t mtimeNs = 0;
    bool operator==(const Entry&) const = default;
  };
  // skip: paths below top that are not looked at (noisy trees other programs write into, the run
  // folder itself); maxEntries bounds the walk.
  static TTreeSnapshot Take(const std::filesystem::path& top, const std::vector<std::filesystem::path>& skip,
                            std::size_t maxEntries = 200000, int maxDepth = 6);
  // One line per difference: "new PATH", "gone PATH", "changed PATH".
  std::vector<std::string> Differences(const TTreeSnapshot& after) const;
  std::size_t Size() const { return entries_.size(); }
  bool Truncated() const { return truncated_; }

 private:
  std::filesystem::path top_;
  std::map<std::string, Entry> entries_;
  bool truncated_ = false;
};

class TSandbox {
 public:
  // Makes root/run-SEED-PID with work/ and home/ (and the XDG folders) in it.
  TSandbox(const std::filesystem::path& root, std::uint64_t seed);
  // Points HOME, XDG_CONFIG_HOME, XDG_DATA_HOME, XDG_CACHE_HOME, XDG_RUNTIME_DIR and TMPDIR into home/.
  void EnterEnvironment() const;
  const std::filesystem::path& Run() const { return run_; }
  const std::filesystem::path& Work() const { return work_; }
  const std::filesystem::path& Home() const { return home_; }
  std::filesystem::path IniPath() const { return home_ / ".config" / "sorabu" / "sorabu.ini"; }
  // True when path (absolute, as given, not resolved) lies in the run folder.
  bool Inside(const std::string& path) const;
  bool InsideWork(const std::string& path) const;
  void Remove() const;
  // Empties the work folder (what the window made of it), the folder itself stays.
  void ClearWork() const;

 private:
  std::filesystem::path run_, work_, home_;
};

// Watches the places a run must leave alone: the real home, the root of the run folders and the
// program's own folder.
class TOutsideWatch {
 public:
  TOutsideWatch(const std::filesystem::path& realHome, const TSandbox& sandbox, const std::filesystem::path& programFolder);
  // Nothing more than a note of the places and their sizes.
  std::string Describe() const;
  // Differences since the start, one line each; empty when nothing outside changed.
  std::vector<std::string> Check() const;

 private:
  struct Place {
    std::filesystem::path top;
    std::vector<std::filesystem::path> skip;
    TTreeSnapshot before;
  };
  std::vector<Place> places_;
};

}  // namespace sorabu::monkey
