// Conversions between UTF-8 and the Japanese codes. Line ends stay as they are. Characters that
// code page 932 cannot hold are never dropped silently: before anything is written the command
// counts them, names the first few with their line numbers and asks whether to write 〓 for them.
#include <cstdio>
#include <filesystem>

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

std::string Cp(const char* utf8) { return textconv::Utf8ToCp932(utf8); }

bool ReadWhole(const std::string& path, std::string& text, std::string& error) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  if (!ec) text.reserve(static_cast<std::size_t>(size));
  return ForEachChunk(path, [&text](std::string_view chunk) { text.append(chunk); }, error, 1 << 20);
}

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
  return std::to_string(line) + Cp("行目 ") + code;
}

Outcome RunUtf8ToShiftJis(const std::string& path, TCommandContext& context) {
  if (!IsExistingFile(path)) return Outcome::NoFile;
  return RunFrame(path, Variation::Default, context, [&](const std::string& w, TOutFile& out, std::string& error) {
    std::string text;
    if (!ReadWhole(w, text, error)) return false;
    std::string_view body = text;
    if (body.substr(0, 3) == "\xEF\xBB\xBF") body.remove_prefix(3);
    std::vector<std::size_t> marked;
    const std::string converted = textconv::Utf8ToCp932Marked(body, "\x81\xAC", marked);
    if (!marked.empty()) {
      std::string named;
      std::size_t line = 1, at = 0;
      for (std::size_t k = 0; k < marked.size() && k < kNamed; ++k) {
        for (; at < marked[k]; ++at)
          if (body[at] == '\n') ++line;
        named += Describe(body, marked[k], line) + "\r\n";
      }
      if (marked.size() > kNamed) named += "...\r\n";
      const std::string question = std::to_string(marked.size()) + Cp(" 個の文字は Shift-JIS で書けません。\r\n") + named +
                                   Cp("〓 に置き換えて変換しますか？");
      if (!context.dialogs.Confirm(Cp("UTF-8->Shift+JIS"), question)) throw TCommandCancelled{};
    }
    out.Write(converted);
    return true;
  });
}

// from: 0 Shift-JIS, 1 EUC-JP, 2 JIS; each line (its end kept) to Shift-JIS first.
Outcome RunToUtf8(const std::string& path, TCommandContext& context, int from) {
  if (!IsExistingFile(path)) return Outcome::NoFile;
  return RunFrame(path, Variation::Default, context, [&](const std::string& w, TOutFile& out, std::string& error) {
    std::string text;
    if (!ReadWhole(w, text, error)) return false;
    if (from == 0) {
      out.Write(textconv::Cp932ToUtf8(text));
      return true;
    }
    std::size_t start = 0;
    while (start < text.size()) {
      std::size_t end = text.find('\n', start);
      end = end == std::string::npos ? text.size() : end + 1;
      std::string_view line(text.data() + start, end - start);
      std::size_t body = line.size();
      while (body > 0 && (line[body - 1] == '\n' || line[body - 1] == '\r')) --body;
      const std::string_view content = line.substr(0, body);
      const std::string sjis = from == 1 ? textconv::EucToShiftJis(content) : textconv::JisToShiftJis(content);
      out.Write(textconv::Cp932ToUtf8(sjis));
      out.Write(line.substr(body));
      start = end;
    }
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
