// Mutated archives through the LHA library's rewriting commands: "d" (remove an entry picked by
// the second byte), "u" and "f" (add a newer file whose bytes are the input's tail). Whatever the
// archive holds, a command that fails must leave the file byte for byte as it was, and one that
// succeeds must keep every byte it did not mean to change: what comes before the first header,
// each entry it kept exactly as stored and in order, and everything after the last entry (or a
// plain end mark when nothing followed).
//   byte 0: the command (% 3), byte 1: which entry d removes, bytes 2..3: length of the archive,
//   then the archive, then up to 256 bytes of the added file

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "archive/lha/archive_reader.h"
#include "archive/libs/unlha32/commands.h"
#include "tests/fuzz/fuzz_folder.h"

namespace lha = sorabu::lha;

namespace {

const std::string& Folder() { return sorabu::fuzz::FuzzFolder("rewrite"); }

void Write(const std::string& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Layout {
  std::string prefix, tail;
  std::vector<std::string> raw;  // each entry as stored
  std::vector<std::string> names;
};

bool Parse(const std::string& bytes, Layout& out) {
  lha::ArchiveReader r;
  if (r.OpenMemory(bytes) != lha::Error::kOk) return false;
  out.prefix = bytes.substr(0, r.first_header_offset());
  std::uint64_t end = r.first_header_offset();
  for (const auto& e : r.entries()) {
    std::string raw;
    if (r.RawEntry(e, raw) != lha::Error::kOk) return false;
    out.raw.push_back(raw);
    out.names.push_back(e.name);
    end = e.data_offset + e.packed_size;
  }
  out.tail = bytes.substr(end);
  return true;
}

// `after` keeps old's outside bytes, and its entries are old's in order: for "d" some left out;
// for "u" and "f" none left out but those named `added`, which the new entry replaces (or which
// it follows at the end).
void CheckKept(const Layout& old, const Layout& after, const std::string& added) {
  if (after.prefix != old.prefix) std::abort();
  if (after.tail != (old.tail.empty() ? std::string(1, '\0') : old.tail)) std::abort();
  const bool adding = !added.empty();
  std::size_t next = 0;
  for (std::size_t i = 0; i < after.raw.size(); ++i) {
    while (next < old.raw.size() && old.raw[next] != after.raw[i] && (!adding || old.names[next] == added)) ++next;
    if (next < old.raw.size() && old.raw[next] == after.raw[i]) {
      ++next;
    } else if (!adding || after.names[i] != added) {
      std::abort();
    }
  }
  if (adding) {
    while (next < old.raw.size() && old.names[next] == added) ++next;
    if (next != old.raw.size()) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  const char word = "duf"[data[0] % 3];
  const std::size_t length = std::min<std::size_t>(size - 4, data[2] | std::size_t{data[3]} << 8);
  const std::string before(reinterpret_cast<const char*>(data) + 4, length);
  // The added file is what the archive is not; a little of it is enough (packing it is not what
  // is tested here).
  const std::string file(reinterpret_cast<const char*>(data) + 4 + length, std::min<std::size_t>(size - 4 - length, 256));
  const std::string archive = Folder() + "/a.lzh";
  Write(archive, before);
  std::string line;
  Layout old;
  const bool parsed = Parse(before, old);
  if (word == 'd') {
    if (!parsed || old.names.empty()) return 0;
    const std::string& name = old.names[data[1] % old.names.size()];
    if (name.empty() || name.find_first_of("\"*? ") != std::string::npos) return 0;
    line = "d \"" + archive + "\" \"" + name + "\"";
  } else {
    Write(Folder() + "/n.txt", file);
    line = std::string(1, word) + " \"" + archive + "\" \"" + Folder() + "/n.txt\"";
  }
  std::string output;
  const int code = sorabu::unlha32::RunCommandLine(line, output);
  const std::string after = Read(archive);
  if (code != 0 || !parsed) {
    if (code != 0 && after != before) std::abort();
    return 0;
  }
  if (after.empty()) {
    // d removed the last entry: only allowed when nothing else was in the file.
    if (word != 'd' || !old.prefix.empty() || old.tail.size() > 1) std::abort();
    return 0;
  }
  if (after == before) return 0;  // nothing to do
  Layout now;
  if (!Parse(after, now)) std::abort();
  CheckKept(old, now, word == 'd' ? std::string() : "n.txt");
  return 0;
}
