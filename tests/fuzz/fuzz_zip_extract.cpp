// Arbitrary bytes as a ZIP archive, extracted entry by entry as the plug-in extracts: whatever the
// archive declares or holds, a file that is written has exactly the size its entry declares, a
// failed entry leaves no file behind, and nothing lands outside the destination.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "archive/libs/common/safe_write.h"
#include "archive/libs/common/zip_format.h"
#include "tests/fuzz/fuzz_folder.h"

namespace fs = std::filesystem;

namespace {

const fs::path& Work() {
  static const fs::path* const work = new fs::path(sorabu::fuzz::FuzzFolder("zip"));
  return *work;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fs::path archive = Work() / "in.zip";
  const fs::path dest = Work() / "out";
  fs::remove_all(dest);
  fs::create_directory(dest);
  {
    const int fd = ::open(archive.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0) return 0;
    if (::write(fd, data, size) != static_cast<ssize_t>(size)) std::abort();
    ::close(fd);
  }
  sorabu::arcplug::ZipFormat zip;
  std::set<fs::path> written_files;
  zip.Scan(archive, true, {}, [&](const sorabu::arcplug::ArcEntry& e, sorabu::arcplug::EntryData* entry) {
    if (e.is_dir || e.is_link || e.is_special) return true;
    std::string shown;
    const int code = sorabu::arcplug::WriteBelow(dest, e, entry, false, true, &shown);
    const fs::path written = dest / shown;
    std::error_code ec;
    if (code == 0) {
      if (!fs::is_regular_file(written, ec)) std::abort();
      if (fs::file_size(written, ec) != e.size) std::abort();
      written_files.insert(written);
    }
    return true;
  });
  // Nothing but the files reported written: no temporary file survives a failed entry.
  for (const auto& f : fs::recursive_directory_iterator(dest)) {
    if (!written_files.count(f.path())) std::abort();
  }
  return 0;
}
