// The two hex-dump layouts.
//
// The standard layout writes the information line, an empty line, a column header and its rule,
// then one row per 16 bytes labelled with the row number (from 1, eight upper-case hex digits;
// not the byte offset). It streams the bytes in chunks rather than holding the file: the rows
// are the same. The below-the-line layout writes each line, then its high digits, then its low
// digits, so in a fixed-width font each byte's digits stand under it.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace sorabu::textcmd {

class THexDump {
 public:
  explicit THexDump(std::function<void(std::string_view)> emit) : emit_(std::move(emit)) {}
  // Lines 1 to 4 of the layout.
  void Header(std::string_view infoLine);
  void Bytes(std::string_view chunk);
  // The last, partial row (or the lone label of an empty file).
  void Finish();

 private:
  std::function<void(std::string_view)> emit_;
  std::string row_;
  unsigned long long rowNumber_ = 1;
  unsigned long long size_ = 0;
};

// The three lines of the below-the-line layout for one line.
void HexBelowLine(std::string_view line, const std::function<void(std::string_view)>& emit);

}  // namespace sorabu::textcmd
