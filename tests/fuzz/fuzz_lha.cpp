// Arbitrary bytes through the LHA header reader, the decoders and the encoder. The first byte
// picks the road; the rest is copied into a buffer of exactly its size, so AddressSanitizer
// stops at the first byte read outside it.
//   0..127   the whole input as an archive: list, test and decode every entry, check names
//   128..223 a raw stream for -lh1-, -lh4- .. -lh7- with a claimed output size from the next 3 bytes
//   224..255 encode up to 1 KiB of the rest with -lh5- (the optimal parser for odd values, the lazy
//            one for even) and decode it again: it must come back unchanged
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "archive/lha/archive_reader.h"
#include "archive/lha/codec.h"
#include "archive/lha/crc16.h"
#include "archive/lha/lzh_encoder.h"
#include "archive/lha/name_path.h"

namespace lha = sorabu::lha;

namespace {

// Each input decodes at most this much, so every run stays short: a few header bytes can claim
// (and a one-code table can produce) megabytes. 16 KiB wraps the -lh5- history twice.
constexpr std::uint64_t kMaxOutput = std::uint64_t{1} << 14;

// Output buffers kept across runs, so a run allocates nothing large.
std::string& Scratch() {
  static std::string out;
  out.clear();
  return out;
}

void Archive(std::string_view bytes) {
  lha::ArchiveReader reader;
  lha::OpenOptions o;
  o.self_extractor_scan = 4096;
  reader.OpenMemory(std::string(bytes), o);
  for (const auto& e : reader.entries()) {
    if (e.data_offset + e.packed_size > bytes.size()) std::abort();
    std::vector<std::string> parts;
    if (lha::SafeComponents(e.name, parts) == lha::Error::kOk) {
      for (const auto& p : parts) {
        if (p.empty() || p == "..") std::abort();
      }
    }
    (void)lha::EscapeForDisplay(e.name);
    std::string& out = Scratch();
    if (reader.ExtractToMemory(e, out, kMaxOutput) != lha::Error::kOk && e.original_size <= kMaxOutput) break;
    if (out.size() > e.original_size) std::abort();
  }
}

void RawStream(std::uint8_t selector, std::string_view rest) {
  static const char* const kMethods[] = {"-lh1-", "-lh4-", "-lh5-", "-lh6-", "-lh7-"};
  if (rest.size() < 3) return;
  const auto* p = reinterpret_cast<const unsigned char*>(rest.data());
  const std::uint64_t size =
      std::min(kMaxOutput, std::uint64_t{p[0]} | std::uint64_t{p[1]} << 8 | std::uint64_t{p[2]} << 16);
  const std::string stream(rest.substr(3));
  lha::DecodeRequest r;
  r.method = kMethods[selector % 5];
  r.packed = stream;
  r.original_size = size;
  std::string& out = Scratch();
  lha::DecodeEntryToString(r, kMaxOutput, out);
  if (out.size() > size) std::abort();
}

void RoundTrip(std::string_view data, bool optimal) {
  lha::EncodeOptions o;
  o.give_up_when_larger = false;
  o.optimal = optimal;
  std::string packed;
  if (!lha::EncodeLh5(data, packed, o)) std::abort();
  lha::DecodeRequest r;
  r.method = "-lh5-";
  r.packed = packed;
  r.original_size = data.size();
  r.crc = lha::Crc16(data);
  std::string& out = Scratch();
  if (lha::DecodeEntryToString(r, kMaxOutput, out) != lha::Error::kOk || out != data) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (data[0] < 128) {
    Archive(bytes);
  } else if (data[0] < 224) {
    RawStream(data[0], bytes);
  } else {
    RoundTrip(std::string_view(bytes).substr(0, 1024), (data[0] & 1) != 0);
  }
  return 0;
}
