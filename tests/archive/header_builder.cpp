#include "header_builder.h"

#include "archive/lha/crc16.h"

namespace sorabu::lha::test {
namespace {

void Le(std::string& s, std::uint64_t v, int n) {
  for (int i = 0; i < n; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

std::uint32_t Original(const RawEntry& e) {
  return e.original_size != 0 ? e.original_size : static_cast<std::uint32_t>(e.data.size());
}

std::string ExtChain(const RawEntry& e, int size_bytes, bool with_crc) {
  std::vector<Ext> all;
  if (with_crc) all.push_back({0x00, std::string(2, '\0')});
  all.insert(all.end(), e.ext.begin(), e.ext.end());
  std::string s;
  for (std::size_t i = 0; i < all.size(); ++i) {
    s.push_back(static_cast<char>(all[i].type));
    s += all[i].data;
    const std::size_t next = i + 1 < all.size() ? 1 + all[i + 1].data.size() + static_cast<std::size_t>(size_bytes) : 0;
    Le(s, next, size_bytes);
  }
  return s;
}

std::size_t FirstSize(const RawEntry& e, int size_bytes, bool with_crc) {
  if (with_crc) return 1 + 2 + static_cast<std::size_t>(size_bytes);
  return e.ext.empty() ? 0 : 1 + e.ext[0].data.size() + static_cast<std::size_t>(size_bytes);
}

}  // namespace

std::string Level0(const RawEntry& e) {
  std::string h;
  h += e.method;
  Le(h, e.data.size(), 4);
  Le(h, Original(e), 4);
  Le(h, e.time, 4);
  h.push_back(static_cast<char>(e.attribute));
  h.push_back(0);
  h.push_back(static_cast<char>(e.name.size()));
  h += e.name;
  Le(h, e.crc, 2);
  unsigned sum = 0;
  for (unsigned char c : h) sum += c;
  std::string out;
  out.push_back(static_cast<char>(h.size()));
  out.push_back(static_cast<char>(sum & 0xFF));
  return out + h + e.data;
}

std::string Level1(const RawEntry& e) {
  const std::string ext = ExtChain(e, 2, false);
  std::string h;
  h += e.method;
  Le(h, e.data.size() + ext.size(), 4);
  Le(h, Original(e), 4);
  Le(h, e.time, 4);
  h.push_back(0x20);
  h.push_back(1);
  h.push_back(static_cast<char>(e.name.size()));
  h += e.name;
  Le(h, e.crc, 2);
  h.push_back(static_cast<char>(e.os));
  Le(h, FirstSize(e, 2, false), 2);
  unsigned sum = 0;
  for (unsigned char c : h) sum += c;
  std::string out;
  out.push_back(static_cast<char>(h.size()));
  out.push_back(static_cast<char>(sum & 0xFF));
  return out + h + ext + e.data;
}

namespace {

std::string Level23(const RawEntry& e, int level) {
  const int sb = level == 3 ? 4 : 2;
  const std::string ext = ExtChain(e, sb, e.header_crc);
  std::string h;
  Le(h, level == 3 ? 4 : 0, 2);
  h += e.method;
  Le(h, e.data.size(), 4);
  Le(h, Original(e), 4);
  Le(h, e.time, 4);
  h.push_back(0x20);
  h.push_back(static_cast<char>(level));
  Le(h, e.crc, 2);
  h.push_back(static_cast<char>(e.os));
  if (level == 3) Le(h, 0, 4);  // total size, below
  Le(h, FirstSize(e, sb, e.header_crc), sb);
  h += ext;
  const std::size_t total = h.size();
  if (level == 3) {
    for (int i = 0; i < 4; ++i) h[24 + static_cast<std::size_t>(i)] = static_cast<char>((total >> (8 * i)) & 0xFF);
  } else {
    h[0] = static_cast<char>(total & 0xFF);
    h[1] = static_cast<char>(total >> 8);
  }
  if (e.header_crc) {
    const std::size_t pos = (level == 3 ? 32 : 26) + 1;
    const std::uint16_t crc = Crc16(h);
    h[pos] = static_cast<char>(crc & 0xFF);
    h[pos + 1] = static_cast<char>(crc >> 8);
  }
  return h + e.data;
}

}  // namespace

std::string Level2(const RawEntry& e) { return Level23(e, 2); }
std::string Level3(const RawEntry& e) { return Level23(e, 3); }

}  // namespace sorabu::lha::test
