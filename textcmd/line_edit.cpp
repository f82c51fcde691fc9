#include "textcmd/line_edit.h"

#include <cstdio>

#include "textconv/cp932.h"

namespace sorabu::textcmd {

using textconv::IsLeadByte;

bool IsLeadAt(std::string_view line, long long col) {
  if (col < 1 || static_cast<unsigned long long>(col) > line.size()) return false;
  const std::size_t target = static_cast<std::size_t>(col - 1);
  std::size_t i = 0;
  while (i < target) i += IsLeadByte(static_cast<unsigned char>(line[i])) ? std::size_t{2} : std::size_t{1};
  return i == target && IsLeadByte(static_cast<unsigned char>(line[i]));
}

std::optional<long long> ParseInteger(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  std::size_t end = text.size();
  while (end > i && text[end - 1] == ' ') --end;
  bool negative = false;
  if (i < end && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i == end || end - i > 18) return std::nullopt;
  long long value = 0;
  for (; i < end; ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
  }
  return negative ? -value : value;
}

std::string NotAnInteger(std::string_view text) {
  return "'" + std::string(text) + "' is not a valid integer value";
}

SerialFormat SerialFormat::Parse(std::string_view format) {
  SerialFormat f;
  std::size_t end = format.size();
  while (end > 0 && format[end - 1] == '0') --end;
  f.prefix.assign(format.substr(0, end));
  f.digits = format.size() - end;
  return f;
}

std::string SerialFormat::Format(long long number) const {
  // The magnitude without negating the smallest number.
  const unsigned long long magnitude =
      number < 0 ? static_cast<unsigned long long>(-(number + 1)) + 1ULL : static_cast<unsigned long long>(number);
  std::string digits = std::to_string(magnitude);
  if (digits.size() < this->digits) digits.insert(0, this->digits - digits.size(), '0');
  return prefix + (number < 0 ? "-" : "") + digits;
}

std::string ReverseLine(std::string_view line) {
  std::string out(line.size(), '\0');
  std::size_t i = 0;
  std::size_t back = line.size();
  while (i < line.size()) {
    std::size_t len = 1;
    if (IsLeadByte(static_cast<unsigned char>(line[i])) && i + 1 < line.size()) len = 2;
    if (line[i] == '\r' && i + 1 < line.size() && line[i + 1] == '\n') len = 2;
    back -= len;
    line.copy(out.data() + back, len, i);
    i += len;
  }
  return out;
}

void BreakAtColumn(std::string_view line, long long b,
                   const std::function<void(std::string_view, bool last)>& piece) {
  if (b < 1) b = 1;
  const std::size_t width = static_cast<std::size_t>(b);
  std::size_t start = 0;  // always a character boundary
  while (line.size() - start > width) {
    // Walk to the boundary at or before start + width.
    std::size_t i = start;
    while (i < start + width) i += IsLeadByte(static_cast<unsigned char>(line[i])) ? std::size_t{2} : std::size_t{1};
    std::size_t cut = i > start + width ? i - 2 : i;
    if (cut == start) cut = i;  // b = 1 before a double-byte character: the whole character
    if (cut >= line.size()) break;  // one double-byte character is all that is left
    piece(line.substr(start, cut - start), false);
    start = cut;
  }
  piece(line.substr(start), true);
}

std::string InsertAtColumn(std::string_view line, long long b, std::string_view text) {
  if (b < 1 || static_cast<unsigned long long>(b) >= line.size()) return std::string(line);
  const std::size_t at = static_cast<std::size_t>(IsLeadAt(line, b - 1) ? b - 2 : b - 1);
  std::string out;
  out.reserve(line.size() + text.size());
  out.append(line.substr(0, at)).append(text).append(line.substr(at));
  return out;
}

std::string ExtractColumns(std::string_view line, long long b, long long n) {
  long long start = b;
  if (IsLeadAt(line, b + 1)) {
    start = b + 1;
    --n;
  }
  if (IsLeadAt(line, start + n + 1)) --n;
  if (start < 1 || n <= 0 || static_cast<unsigned long long>(start) > line.size()) return {};
  return std::string(line.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(n)));
}

std::string DeleteColumns(std::string_view line, long long b, long long n) {
  long long start = b;
  if (IsLeadAt(line, b + 1)) {
    start = b - 1;
    ++n;
  }
  if (IsLeadAt(line, start + n + 1)) ++n;
  if (start < 1 || n <= 0 || static_cast<unsigned long long>(start) > line.size()) return std::string(line);
  std::string out(line);
  out.erase(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(n));
  return out;
}

}  // namespace sorabu::textcmd
