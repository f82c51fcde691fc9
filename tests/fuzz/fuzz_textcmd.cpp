// Arbitrary bytes through the per-line transformations of the editing commands: nothing may read
// outside the line (it is copied into a heap block of exactly its size), and what holds for any
// input is checked: pieces of a broken line join to the line, a reversed line keeps its length,
// trimming leaves a prefix or suffix, inserting adds exactly the text, extraction stays inside.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "textcmd/cleanup.h"
#include "textcmd/csv_lines.h"
#include "textcmd/hex_dump.h"
#include "textcmd/html_to_text.h"
#include "textcmd/line_edit.h"

namespace tc = sorabu::textcmd;

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const long long b = data[0] % 12;  // 0 tests the bound below 1 as well
  const long long n = data[1] % 12;
  std::unique_ptr<char[]> copy(new char[size - 2]);
  std::copy(data + 2, data + size, copy.get());
  const std::string_view line(copy.get(), size - 2);

  std::string joined;
  tc::BreakAtColumn(line, b, [&](std::string_view piece, bool) { joined.append(piece); });
  Check(joined == line);
  Check(tc::ReverseLine(line).size() == line.size());
  Check(tc::InsertAtColumn(line, b, "--").size() == line.size() + (b >= 1 && static_cast<std::size_t>(b) < line.size() ? 2 : 0));
  Check(line.find(tc::ExtractColumns(line, b, n)) != std::string_view::npos);
  Check(tc::DeleteColumns(line, b, n).size() <= line.size());
  const std::string right = tc::TrimRight(line);
  Check(line.substr(0, right.size()) == right);
  const std::string left = tc::TrimLeft(line);
  Check(line.substr(line.size() - left.size()) == left);
  Check(tc::RemoveFullWidthBlanks(line).size() <= line.size());
  Check(tc::FullWidthBlanksToBlanks(line).size() == line.size());

  std::size_t written = 0;
  tc::THtmlToText html(static_cast<int>(b % 4) + 1, [&](std::string_view piece) { written += piece.size(); });
  html.Line(line);
  html.Line(line.substr(line.size() / 2));
  html.Finish();

  tc::TCsvJoiner csv("\"", ",", n + 1, [&](std::string_view record) { written += record.size(); });
  csv.Line(line);
  csv.Line(line);
  csv.Finish();

  tc::THexDump dump([&](std::string_view row) { written += row.size(); });
  dump.Header(line);
  dump.Bytes(line);
  dump.Finish();
  tc::HexBelowLine(line, [&](std::string_view row) { Check(row.size() == line.size()); });
  return 0;
}
