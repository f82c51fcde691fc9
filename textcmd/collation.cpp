#include "textcmd/collation.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <exception>
#include <memory>
#include <system_error>
#include <thread>
#include <unicode/ucol.h>
#include <unicode/uloc.h>

#include "textconv/cp932.h"
#include "textconv/large_pages.h"

namespace sorabu::textcmd {

std::string FoldedKey(std::string_view line) {
  std::string key(line);
  bool trail = false;
  for (char& c : key) {
    const auto b = static_cast<unsigned char>(c);
    if (!trail && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    trail = !trail && textconv::IsLeadByte(b);
  }
  return key;
}

namespace {

std::shared_ptr<UCollator> OpenCollator() {
  UErrorCode status = U_ZERO_ERROR;
  std::string locale = uloc_getDefault();
  if (locale.empty() || locale == "en_US_POSIX" || locale == "c") locale = "ja";
  UCollator* raw = ucol_open(locale.c_str(), &status);
  if (U_FAILURE(status) || raw == nullptr) return nullptr;
  ucol_setStrength(raw, UCOL_SECONDARY);
  return std::shared_ptr<UCollator>(raw, ucol_close);
}

// One line's key appended to arena; buffers are the caller's, reused line after line.
void AppendKey(UCollator* collator, std::string_view line, std::u16string& text, std::string& key, std::string& arena) {
  text.clear();
  for (std::size_t i = 0; i < line.size();) i += textconv::DecodeCp932Char(line, i, text);
  for (;;) {
    const int32_t n = ucol_getSortKey(collator, reinterpret_cast<const UChar*>(text.data()),
                                      static_cast<int32_t>(text.size()), reinterpret_cast<uint8_t*>(key.data()),
                                      static_cast<int32_t>(key.size()));
    if (n <= static_cast<int32_t>(key.size())) {
      arena.append(key.data(), n > 0 ? static_cast<std::size_t>(n - 1) : 0);  // without the closing 0
      return;
    }
    key.resize(static_cast<std::size_t>(n) * 2);
  }
}

struct KeyRef {
  std::uint64_t prefix;  // the key's first 8 bytes, big-endian, so most comparisons stop here
  const char* bytes;
  std::uint32_t size;
  std::uint32_t index;
};

std::uint64_t Prefix(const char* p, std::size_t n) {
  unsigned char b[8] = {};
  std::memcpy(b, p, std::min<std::size_t>(n, 8));
  std::uint64_t v = 0;
  for (unsigned char c : b) v = (v << 8) | c;
  return v;
}

bool Before(const KeyRef& a, const KeyRef& b) {
  if (a.prefix != b.prefix) return a.prefix < b.prefix;
  if (a.bytes == b.bytes && a.size == b.size) return a.index < b.index;  // one key shared by equal lines
  const int c = std::memcmp(a.bytes, b.bytes, std::min(a.size, b.size));
  if (c != 0) return c < 0;
  if (a.size != b.size) return a.size < b.size;
  return a.index < b.index;
}

}  // namespace

std::vector<std::size_t> AscendingOrder(const std::vector<std::string>& lines, const SortKeyer& keyer) {
  const std::vector<std::string_view> views(lines.begin(), lines.end());
  return AscendingOrder(std::span<const std::string_view>(views), keyer);
}

std::vector<std::size_t> AscendingOrder(std::span<const std::string_view> lines, const SortKeyer& keyer) {
  std::vector<std::size_t> order(lines.size());
  const std::shared_ptr<UCollator> collator = keyer ? nullptr : OpenCollator();
  if (keyer || !collator) {
    const SortKeyer& k = keyer ? keyer : SortKeyer(FoldedKey);
    std::vector<std::string> keys;
    keys.reserve(lines.size());
    for (const std::string_view line : lines) keys.push_back(k(line));
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
    return order;
  }
  // Keys are made in one slice of the lines per core, each with its own collator and buffer.
  const std::size_t workers = lines.size() < 50000 ? 1 : std::max(1u, std::min(4u, std::thread::hardware_concurrency()));
  std::vector<std::string> arenas(workers);
  // Each line's key as (offset in its slice's arena, size); a line met before in the slice shares
  // the earlier key, which spares the collator and lets equal lines compare by address.
  std::vector<std::vector<std::pair<std::size_t, std::uint32_t>>> spans(workers);
  auto make = [&](std::size_t w, UCollator* c) {
    const std::size_t from = lines.size() * w / workers, to = lines.size() * (w + 1) / workers;
    std::u16string text;
    std::string key(256, '\0');
    spans[w].reserve(to - from);
    // Keys run to two or three bytes a character; room reserved but never written costs no memory,
    // while regrowth copies every key made so far.
    std::size_t bytes = 0;
    for (std::size_t i = from; i < to; ++i) bytes += lines[i].size();
    arenas[w].reserve(bytes * 3 + 64);
    textconv::PreferLargePages(arenas[w].data(), arenas[w].capacity());
    // Open addressing over the slice's line numbers (0: empty), at most half full.
    std::size_t capacity = 16;
    while (capacity < 2 * (to - from)) capacity *= 2;
    std::vector<std::uint32_t> seen(capacity, 0);
    const std::hash<std::string_view> hash;
    for (std::size_t i = from; i < to; ++i) {
      std::size_t slot = hash(lines[i]) & (capacity - 1);
      while (seen[slot] != 0 && lines[from + seen[slot] - 1] != lines[i]) slot = (slot + 1) & (capacity - 1);
      if (seen[slot] != 0) {
        spans[w].push_back(spans[w][seen[slot] - 1]);
        continue;
      }
      seen[slot] = static_cast<std::uint32_t>(i - from + 1);
      const std::size_t start = arenas[w].size();
      AppendKey(c, lines[i], text, key, arenas[w]);
      spans[w].emplace_back(start, static_cast<std::uint32_t>(arenas[w].size() - start));
    }
  };
  // A failure in any slice (no memory) is carried out of its thread and raised here, after every
  // thread has been joined; a slice whose thread cannot start is made on this one.
  std::vector<std::exception_ptr> failures(workers);
  auto guarded = [&](std::size_t w, UCollator* c) {
    try {
      make(w, c);
    } catch (...) {
      failures[w] = std::current_exception();
    }
  };
  std::vector<std::thread> threads;
  std::vector<std::shared_ptr<UCollator>> clones;
  std::vector<std::size_t> here = {0};
  for (std::size_t w = 1; w < workers; ++w) {
    UErrorCode status = U_ZERO_ERROR;
    std::shared_ptr<UCollator> clone(ucol_clone(collator.get(), &status), ucol_close);
    if (U_FAILURE(status) || !clone) {
      here.push_back(w);
      continue;
    }
    clones.push_back(clone);
    try {
      threads.emplace_back(guarded, w, clone.get());
    } catch (const std::system_error&) {
      here.push_back(w);
    }
  }
  for (std::size_t w : here) guarded(w, collator.get());
  for (auto& t : threads) t.join();
  for (const auto& f : failures) {
    if (f) std::rethrow_exception(f);
  }
  std::vector<KeyRef> refs;
  refs.reserve(lines.size());
  textconv::PreferLargePages(refs.data(), refs.capacity() * sizeof refs[0]);
  for (std::size_t w = 0; w < workers; ++w) {
    const std::size_t from = lines.size() * w / workers;
    for (std::size_t j = 0; j < spans[w].size(); ++j) {
      const auto [start, n] = spans[w][j];
      const char* p = arenas[w].data() + start;
      refs.push_back({Prefix(p, n), p, n, static_cast<std::uint32_t>(from + j)});
    }
  }
  // The halves are sorted side by side and merged; duplicate lines make long equal prefixes, so
  // the comparisons, not the moves, are the cost.
  if (workers > 1) {
    const auto middle = refs.begin() + static_cast<std::ptrdiff_t>(refs.size() / 2);
    std::thread other;
    try {
      other = std::thread([&] { std::sort(refs.begin(), middle, Before); });
    } catch (const std::system_error&) {
      std::sort(refs.begin(), middle, Before);
    }
    std::sort(middle, refs.end(), Before);
    if (other.joinable()) other.join();
    std::inplace_merge(refs.begin(), middle, refs.end(), Before);
  } else {
    std::sort(refs.begin(), refs.end(), Before);
  }
  for (std::size_t i = 0; i < refs.size(); ++i) order[i] = refs[i].index;
  return order;
}

SortKeyer LocaleSortKeyer() {
  std::shared_ptr<UCollator> collator = OpenCollator();
  if (!collator) return FoldedKey;
  return [collator](std::string_view line) {
    const std::u16string text = textconv::DecodeCp932(line);
    std::string key(text.size() * 4 + 16, '\0');
    for (;;) {
      const int32_t n = ucol_getSortKey(collator.get(), reinterpret_cast<const UChar*>(text.data()),
                                        static_cast<int32_t>(text.size()),
                                        reinterpret_cast<uint8_t*>(key.data()), static_cast<int32_t>(key.size()));
      if (n <= static_cast<int32_t>(key.size())) {
        key.resize(n > 0 ? static_cast<std::size_t>(n - 1) : 0);  // without the closing 0
        break;
      }
      key.resize(static_cast<std::size_t>(n));
    }
    return key;
  };
}

}  // namespace sorabu::textcmd
