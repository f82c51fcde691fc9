// Conversions between UTF-8 and the Japanese codes. Line ends stay as they are. Characters that
// code page 932 cannot hold are never dropped silently: before the result replaces the file the
// command counts them, names the first few with their line numbers and asks whether to write 〓.
#include <cstdio>

#include "textcmd/command_helpers.h"
#include "textcmd/command_table.h"
#include "textcmd/line_runner.h"
#include "textcmd/out_file.h"
#include "textconv/cp932.h"
#include "textconv/jis_euc_sjis.h"
#include "textconv/unicode_text.h"

namespace sorabu::textcmd {
namespace {

constexpr std::size_t kNamed = 5;

using textconv::Sjis;

// "12行目 U+1F600" for the character at offset.
std::string Describe(std::string_view text, std::size_t offset, std::size_t line) {
  std::u16string units;
  textconv::DecodeUtf8Char(text, offset, units);
  char32_t c = units.empty() ? 0 : units[0];
  if (units.size() == 2) c = 0x10000 + ((static_cast<char32_t>(units[0]) - 0xD800) << 10) + (units[1] - 0xDC00);
  char code[16];
  if (textconv::Utf8SequenceLength(text, offset) == 0)
    std::snprintf(code, sizeof code, "0x%02X", static_cast<unsigned>(static_cast<unsigned char>(text[offset])));
  else
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
  return std::to_string(line) + Sjis("行目 ") + code;
}

// Bytes at the end of piece that begin a character the piece does not finish.
std::size_t OpenTail(std::string_view piece) {
  for (std::size_t back = 1; back <= 3 && back <= piece.size(); ++back) {
    const auto c = static_cast<unsigned char>(piece[piece.size() - back]);
    if ((c & 0xC0) == 0x80) continue;  // a continuation byte: look further back
    const std::size_t need = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    return need > back ? back : 0;
  }
  return 0;
}

// Converted a megabyte at a time straight into the new file; the question comes before that file
// takes the place of the old one, so Cancel still leaves the file as it was.
Outcome RunUtf8ToShiftJis(const std::string& path, TCommandContext& context) {
  if (!IsExistingFile(path)) return Outcome::NoFile;
  return RunFrame(path, Variation::Default, context, [&](const std::string& w, TOutFile& out, std::string& error) {
    std::string piece, named;
    std::size_t count = 0, line = 1;
    bool first = true;
    std::vector<std::size_t> marked;
    auto convert = [&](std::string_view text) {
      if (first && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
      first = false;
      marked.clear();
      out.Write(textconv::Utf8ToCp932Marked(text, "\x81\xAC", marked));
      std::size_t at = 0;
      for (std::size_t k = 0; k < marked.size() && count + k < kNamed; ++k) {
        for (; at < marked[k]; ++at)
          if (text[at] == '\n') ++line;
        named += Describe(text, marked[k], line) + "\r\n";
      }
      for (; at < text.size(); ++at)
        if (text[at] == '\n') ++line;
      count += marked.size();
    };
    const bool read = ForEachChunk(w, [&](std::string_view chunk) {
      piece.append(chunk);
      const std::size_t open = OpenTail(piece);
      convert(std::string_view(piece).substr(0, piece.size() - open));
      piece.erase(0, piece.size() - open);
    }, error, 1 << 20);
    if (!read) return false;
    if (!piece.empty()) convert(piece);  // a character cut by the end of the file
    if (count > 0) {
      if (count > kNamed) named += "...\r\n";
      const std::string question = std::to_string(count) + Sjis(" 個の文字は Shift-JIS で書けません。\r\n") + named +
                                   Sjis("〓 に置き換えて変換しますか？");
      if (!context.dialogs.Confirm(Sjis("UTF-8->Shift+JIS"), question)) throw TCommandCancelled{};
    }
    return true;
  });
}

// The end of the last whole Shift-JIS character in text (a lead byte at the end waits).
std::size_t WholeCharacters(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t len = textconv::IsLeadByte(static_cast<unsigned char>(text[at])) ? 2 : 1;
    if (at + len > text.size()) break;
    at += len;
  }
  return at;
}

// from: 0 Shift-JIS, 1 EUC-JP, 2 JIS; each line (its end kept) to Shift-JIS first. The file is
// read a megabyte at a time and converted line by line as the lines complete (an LF is never part
// of a character in these codes), so memory stays flat; only a Shift-JIS line longer than a
// megabyte is cut, at a character's end.
Outcome RunToUtf8(const std::string& path, TCommandContext& context, int from) {
  if (!IsExistingFile(path)) return Outcome::NoFile;
  return RunFrame(path, Variation::Default, context, [&](const std::string& w, TOutFile& out, std::string& error) {
    std::string carry;
    auto convertLine = [&](std::string_view line) {
      if (from == 0) {
        out.Write(textconv::Cp932ToUtf8(line));
        return;
      }
      std::size_t body = line.size();
      while (body > 0 && (line[body - 1] == '\n' || line[body - 1] == '\r')) --body;
      const std::string_view content = line.substr(0, body);
      const std::string sjis = from == 1 ? textconv::EucToShiftJis(content) : textconv::JisToShiftJis(content);
      out.Write(textconv::Cp932ToUtf8(sjis));
      out.Write(line.substr(body));
    };
    const bool read = ForEachChunk(w, [&](std::string_view chunk) {
      carry.append(chunk);
      std::string_view rest(carry);
      for (std::size_t lf = rest.find('\n'); lf != std::string_view::npos; lf = rest.find('\n')) {
        convertLine(rest.substr(0, lf + 1));
        rest.remove_prefix(lf + 1);
      }
      if (from == 0 && rest.size() > kPieceSize) {
        const std::size_t whole = WholeCharacters(rest);
        convertLine(rest.substr(0, whole));
        rest.remove_prefix(whole);
      }
      carry.erase(0, carry.size() - rest.size());
    }, error, kPieceSize);
    if (!read) return false;
    if (!carry.empty()) convertLine(carry);
    return true;
  });
}

}  // namespace

void AppendUnicodeCommands(TCommandTable& table) {
  const char* kCodes = "文字コード変換(&J)";
  table.push_back({"Mutf8tosjis1Click", kCodes, "* UTF-8->Shift+JIS", {}, Variation::Default, RunUtf8ToShiftJis});
  table.push_back({"Msjistoutf81Click", kCodes, "* Shift+JIS->UTF-8", {}, Variation::Default,
                   [](const std::string& path, TCommandContext& context) { return RunToUtf8(path, context, 0); }});
  table.push_back({"Meuctoutf81Click", kCodes, "* EUC->UTF-8", {}, Variation::Default,
                   [](const std::string& path, TCommandContext& context) { return RunToUtf8(path, context, 1); }});
  table.push_back({"Mjistoutf81Click", kCodes, "* JIS->UTF-8", {}, Variation::Default,
                   [](const std::string& path, TCommandContext& context) { return RunToUtf8(path, context, 2); }});
}

}  // namespace sorabu::textcmd
