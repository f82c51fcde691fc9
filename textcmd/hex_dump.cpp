#include "textcmd/hex_dump.h"

#include <cstdio>

namespace sorabu::textcmd {
namespace {
constexpr char kDigits[] = "0123456789ABCDEF";

std::string Label(unsigned long long row) {
  char text[32];
  std::snprintf(text, sizeof text, "%.8llX : ", row);
  return text;
}
}  // namespace

void THexDump::Header(std::string_view infoLine) {
  emit_(infoLine);
  emit_("");
  emit_("00000000 : 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F");
  emit_("-------- : -- -- -- -- -- -- -- -- -- -- -- -- -- -- -- --");
}

void THexDump::Bytes(std::string_view chunk) {
  for (char c : chunk) {
    const auto b = static_cast<unsigned char>(c);
    row_.push_back(kDigits[b >> 4]);
    row_.push_back(kDigits[b & 15]);
    row_.push_back(' ');
    if (size_++ % 16 == 15) {
      emit_(Label(rowNumber_++) + row_);
      row_.clear();
    }
  }
}

void THexDump::Finish() {
  if (size_ == 0 || size_ % 16 != 0) emit_(Label(rowNumber_) + row_);
  row_.clear();
}

void HexBelowLine(std::string_view line, const std::function<void(std::string_view)>& emit) {
  std::string high(line.size(), ' ');
  std::string low(line.size(), ' ');
  for (std::size_t i = 0; i < line.size(); ++i) {
    const auto b = static_cast<unsigned char>(line[i]);
    high[i] = kDigits[b >> 4];
    low[i] = kDigits[b & 15];
  }
  emit(line);
  emit(high);
  emit(low);
}

}  // namespace sorabu::textcmd
