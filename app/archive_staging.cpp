#include "app/archive_staging.h"

#include <cstdio>
#include <random>
#include <system_error>

#include "textconv/system_error.h"
#include "textconv/cp932.h"
#include "textconv/ui_text.h"

namespace sorabu::app {

namespace fs = std::filesystem;

namespace {

std::string RandomTag() {
  static thread_local std::mt19937_64 random{std::random_device{}()};
  char tag[17];
  std::snprintf(tag, sizeof tag, "%016llx", static_cast<unsigned long long>(random()));
  return tag;
}

}  // namespace

std::optional<fs::path> MakeStagingFolder(const fs::path& destination, std::string& error) {
  std::error_code ec;
  for (int attempt = 0; attempt < 8; ++attempt) {
    const fs::path staging = destination / (".sorabu-extract-" + RandomTag());
    if (fs::create_directory(staging, ec)) return staging;
    if (ec) break;
  }
  error = textconv::Utf8ToCp932Exact(destination.string()) +
          textconv::Utf8ToCp932(" に作業用のフォルダーを作成できません: " +
                                (ec ? textconv::SystemErrorUtf8(ec.value()) : std::string("名前がすべて使われています")));
  return std::nullopt;
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
