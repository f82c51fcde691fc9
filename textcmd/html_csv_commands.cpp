// The HTML-to-text and lines-to-CSV commands.
//
// The record size of the CSV commands is asked before the working copy is made, and 0 or a
// text that is not a number is refused there: no record size would fit it, and the file stays
// untouched. The all-in-one HTML command runs the automatic code conversion as a complete
// command of its own first, as the menu item promises.
#include <cstdlib>

#include "textcmd/command_helpers.h"
#include "textcmd/command_table.h"
#include "textcmd/csv_lines.h"
#include "textcmd/html_to_text.h"
#include "textcmd/line_edit.h"
#include "textcmd/line_runner.h"

namespace sorabu::textcmd {
namespace {

using Ctx = TCommandContext;

Outcome RunHtml(const std::string& path, Ctx& context, int variant) {
  if (!IsExistingFile(path)) return Outcome::NoFile;
  return RunFrame(path, Variation::Default, context, [variant](const std::string& w, TOutFile& out, std::string& error) {
    THtmlToText html(variant, [&out](std::string_view line) { out.Line(line); });
    const bool ok = ForEachStreamingLine(w, out.Model(), [&html](std::string_view line) { html.Line(line); }, error);
    html.Finish();
    return ok;
  });
}

std::optional<unsigned char> ParseHexByte(std::string_view text) {
  if (text.empty() || text.size() > 15) return std::nullopt;
  unsigned long long value = 0;
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return std::nullopt;
    value = value * 16 + static_cast<unsigned>(digit);
  }
  return static_cast<unsigned char>(value & 0xFF);
}

enum class Separator { Fixed, Hex, Any };

Outcome RunCsv(const std::string& path, Ctx& context, std::string quote, std::string separator, Separator kind) {
  if (!IsExistingFile(path)) return Outcome::NoFile;
  const std::string caption = Sj("行->CSVデータ変換");
  if (kind == Separator::Any) {
    const auto answer = context.dialogs.InputBox(caption, Sj("区切り文字"), "");
    if (!answer) return Outcome::Cancelled;
    separator = *answer;
  } else if (kind == Separator::Hex) {
    const auto answer = context.dialogs.InputBox(caption, Sj("１６進区切り文字(01-FF)"), "");
    if (!answer) return Outcome::Cancelled;
    const auto code = ParseHexByte(*answer);
    if (!code) {
      context.dialogs.Error("'$" + *answer + "' is not a valid integer value");
      return Outcome::Cancelled;
    }
    separator.assign(1, static_cast<char>(*code));
  }
  const auto count = context.dialogs.InputBox(caption, Sj("１レコードの行数"), "");
  if (!count) return Outcome::Cancelled;
  const auto n = ParseInteger(*count);
  if (!n || *n == 0) {
    context.dialogs.Warning(Sj("１レコードの行数は1以上の数値で入力して下さい。"));
    return Outcome::Cancelled;
  }
  const long long perRecord = std::llabs(*n);
  return RunFrame(path, Variation::Default, context, [&](const std::string& w, TOutFile& out, std::string& error) {
    std::vector<std::string> lines;
    if (!ReadListLines(w, lines, error)) return false;
    TCsvJoiner joiner(quote, separator, perRecord, [&out](std::string_view line) { out.Line(line); });
    for (const std::string& line : lines) joiner.Line(line);
    joiner.Finish();
    return true;
  });
}

}  // namespace

void AppendHtmlCsvCommands(TCommandTable& table) {
  const char* del = "* htmlタグ削除(&H)";
  const char* conv = "* html->テキスト(&H)";
  const Variation D = Variation::Default;
  table.push_back({"MhtmlClick", del, "標準削除(&N)", {}, D, [](const std::string& p, Ctx& c) { return RunHtml(p, c, 1); }});
  table.push_back({"MhtmlallClick", conv, "html->テキスト(＋文字コード，TAB，行頭空白，空行削除)(&A)", {}, D,
                   [](const std::string& p, Ctx& c) {
                     const auto converted = RunCommand("Mtojis1Click", p, c);
                     if (converted != Outcome::Done) return converted.value_or(Outcome::Failed);
                     return RunHtml(p, c, 2);
                   }});
  table.push_back({"htmlTABA1Click", conv, "html->テキスト(＋TAB，行頭空白，空行削除)(&B)", {}, D,
                   [](const std::string& p, Ctx& c) { return RunHtml(p, c, 2); }});
  table.push_back({"html2Click", conv, "html->テキスト(＋TAB，空行削除)(&C)", {}, D,
                   [](const std::string& p, Ctx& c) { return RunHtml(p, c, 3); }});
  table.push_back({"htmlTAB1Click", conv, "html->テキスト(＋空行削除)(&D)", {}, D,
                   [](const std::string& p, Ctx& c) { return RunHtml(p, c, 4); }});

  const char* csv = "* 行->CSVデータ変換";
  const std::vector<std::string> rows{"１レコードの行数"};
  struct Csv {
    const char* handler;
    const char* caption;
    const char* quote;
    const char* separator;
    Separator kind;
  };
  const Csv variants[] = {
      {"MlineCSVaClick", "\"+,", "\"", ",", Separator::Fixed},
      {"MlineCSVbClick", "'+,", "'", ",", Separator::Fixed},
      {"MlineCSVcClick", "+,", "", ",", Separator::Fixed},
      {"MlineCSVdClick", "(TAB)", "", "\t", Separator::Fixed},
      {"MlineCSVfClick", "(空白)", "", " ", Separator::Fixed},
      {"MlineCSVeClick", "(区切り文字なし)", "", "", Separator::Fixed},
      {"MlineCSVhClick", "(16進文字)", "", "", Separator::Hex},
      {"MlineCSVgClick", "(任意の文字)", "", "", Separator::Any},
  };
  for (const Csv& v : variants) {
    std::vector<std::string> questions = rows;
    if (v.kind == Separator::Hex) questions.insert(questions.begin(), "１６進区切り文字(01-FF)");
    if (v.kind == Separator::Any) questions.insert(questions.begin(), "区切り文字");
    table.push_back({v.handler, csv, v.caption, questions, D,
                     [quote = std::string(v.quote), sep = std::string(v.separator), kind = v.kind](
                         const std::string& p, Ctx& c) { return RunCsv(p, c, quote, sep, kind); }});
  }
}

}  // namespace sorabu::textcmd
