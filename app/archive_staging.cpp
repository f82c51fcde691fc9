#include "app/archive_staging.h"

#include <cstdio>
#include <random>
#include <system_error>

namespace sorabu::app {

namespace fs = std::filesystem;

namespace {

std::string RandomTag() {
  static thread_local std::mt19937_64 random{std::random_device{}()};
  char tag[17];
  std::snprintf(tag, sizeof tag, "%016llx", static_cast<unsigned long long>(random()));
  return tag;
}

bool MergeFolder(const fs::path& from, const fs::path& to, std::string& error) {
  std::error_code ec;
  for (const fs::directory_entry& entry : fs::directory_iterator(from, ec)) {
    const fs::path target = to / entry.path().filename();
    const bool isFolder = entry.is_directory(ec) && !entry.is_symlink(ec);
    if (isFolder && fs::is_directory(fs::symlink_status(target, ec))) {
      if (!MergeFolder(entry.path(), target, error)) return false;
      continue;
    }
    // A folder in the way of a file (or the other way round) is not replaced.
    if (fs::is_directory(fs::symlink_status(target, ec)) != isFolder && fs::exists(fs::symlink_status(target, ec))) {
      error = target.string() + ": exists as another kind of item";
      return false;
    }
    fs::rename(entry.path(), target, ec);
    if (ec) {
      error = target.string() + ": " + ec.message();
      return false;
    }
  }
  if (ec) {
    error = from.string() + ": " + ec.message();
    return false;
  }
  return true;
}

}  // namespace

std::optional<fs::path> MakeStagingFolder(const fs::path& destination, std::string& error) {
  std::error_code ec;
  for (int attempt = 0; attempt < 8; ++attempt) {
    const fs::path staging = destination / (".sorabu-extract-" + RandomTag());
    if (fs::create_directory(staging, ec)) return staging;
    if (ec) break;
  }
  error = destination.string() + ": " + (ec ? ec.message() : std::string("cannot make a working folder"));
  return std::nullopt;
}

bool MergeStaging(const fs::path& staging, const fs::path& destination, std::string& error) {
  if (!MergeFolder(staging, destination, error)) return false;
  DropStaging(staging);
  return true;
}

void DropStaging(const fs::path& staging) {
  std::error_code ec;
  fs::remove_all(staging, ec);
}

fs::path TemporaryBeside(const fs::path& target) {
  // Everything from the name's first dot on, so that "a.tar.gz" stays a compressed tar.
  const std::string name = target.filename().string();
  const std::size_t dot = name.find('.', 1);
  const std::string suffix = dot == std::string::npos ? std::string() : name.substr(dot);
  return target.parent_path() / (".sorabu-create-" + RandomTag() + suffix);
}

}  // namespace sorabu::app
