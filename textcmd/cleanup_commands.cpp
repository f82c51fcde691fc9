// The clean-up commands: blanks, TABs, line ends, repeated lines and repeated items.
//
// All stream line by line. The line-joining command writes each line as it comes and ends the
// file with one line end, so it needs no memory for the joined line. The repeated-line commands
// keep only the previous line (or its item).
#include "textcmd/cleanup.h"
#include "textcmd/command_helpers.h"
#include "textcmd/command_table.h"
#include "textcmd/line_runner.h"

namespace sorabu::textcmd {
namespace {

using Ctx = TCommandContext;
using LineFn = std::string (*)(std::string_view);

TCommand PerLine(const char* handler, const char* menu, const char* caption, Variation variation,
                 std::function<std::string(std::string_view)> f) {
  return {handler, menu, caption, {}, variation, [f, variation](const std::string& p, Ctx& c) {
            if (!IsExistingFile(p)) return Outcome::NoFile;
            return RunPerLine(p, variation, c, [&f](std::string_view line, const Emit& emit) { emit(f(line)); });
          }};
}

Outcome RunJoin(const std::string& path, Ctx& context) {
  if (!IsExistingFile(path)) return Outcome::NoFile;
  return RunFrame(path, Variation::Default, context, [](const std::string& w, TOutFile& out, std::string& error) {
    const bool ok =
        ForEachStreamingPiece(w, out.Model(), [&out](std::string_view piece, bool) { out.Write(piece); }, error);
    out.Write(out.LineEnd());
    return ok;
  });
}

Outcome RunSameLine(const std::string& path, Ctx& context) {
  if (!IsExistingFile(path)) return Outcome::NoFile;
  std::string reference;
  bool first = true;
  return RunPerLine(path, Variation::Default, context, [&](std::string_view line, const Emit& emit) {
    if (first || line != reference) {
      emit(line);
      reference.assign(line);
    }
    first = false;
  });
}

Outcome RunSameItem(const std::string& path, Ctx& context) {
  if (!IsExistingFile(path)) return Outcome::NoFile;
  const auto b = AskInteger(context, "同じ項目削除", "項目：行頭からの桁数(半角での桁数)",
                            std::to_string(context.caretColumn + 1LL));
  if (!b) return Outcome::Cancelled;
  const std::size_t itemLength = *b <= 1 ? 0 : static_cast<std::size_t>(*b - 1);
  std::string previous;
  bool first = true;
  return RunPerLine(path, Variation::Default, context, [&](std::string_view line, const Emit& emit) {
    const std::string_view item = line.substr(0, itemLength);
    if (first || item != previous) emit(line);
    previous.assign(item);
    first = false;
  });
}

}  // namespace

void AppendCleanupCommands(TCommandTable& table) {
  const char* blanks = "* 空白を削除";
  const char* tabs = "* TAB文字を削除";
  const char* tabTo = "* TAB文字->";
  const Variation D = Variation::Default;
  const Variation F = Variation::FixedWarning;
  table.push_back(PerLine("MtrimL1Click", blanks, "行頭", D, TrimLeft));
  table.push_back(PerLine("MtrimR1Click", blanks, "行末", D, TrimRight));
  table.push_back(PerLine("Mall1bytetrim1Click", blanks, "全て－1バイト", D,
                          [](std::string_view l) { return RemoveByte(l, ' '); }));
  table.push_back(PerLine("Mall2bytetrim1Click", blanks, "全て－2バイト", D, RemoveFullWidthBlanks));
  table.push_back(PerLine("Malltabdelete1Click", tabs, "全てのTAB", D,
                          [](std::string_view l) { return RemoveByte(l, '\t'); }));
  table.push_back(PerLine("Mtoptabdelete1Click", tabs, "行頭のTAB", D, RemoveLeadingTabs));
  table.push_back(PerLine("Mtabtospace1Click", tabTo, "空白", F,
                          [](std::string_view l) { return ReplaceByte(l, '\t', ' '); }));
  table.push_back(PerLine("Mtabtocomma1Click", tabTo, "，(ｶﾝﾏ)", F,
                          [](std::string_view l) { return ReplaceByte(l, '\t', ','); }));
  table.push_back(PerLine("Mtabtounderscore1Click", tabTo, "＿(ｱﾝﾀﾞｰｽｺｱ)", F,
                          [](std::string_view l) { return ReplaceByte(l, '\t', '_'); }));
  table.push_back(PerLine("M2byteto1bytenull1Click", "", "* 2バイト空白->1バイト", D, FullWidthBlanksToBlanks));
  table.push_back({"McrdelClick", "", "* 改行コードを削除", {}, D, RunJoin});
  table.push_back({"Mtrim1Click", "", "* 空行を削除(&N)", {}, D, [](const std::string& p, Ctx& c) {
                     if (!IsExistingFile(p)) return Outcome::NoFile;
                     std::string kept;
                     return RunPerLine(p, Variation::Default, c, [&](std::string_view line, const Emit& emit) {
                       kept = RemoveNewlines(line);
                       if (!kept.empty()) emit(kept);
                     });
                   }});
  table.push_back({"Msameline1Click", "", "* 同じ行を削除", {}, D, RunSameLine});
  table.push_back({"MopacdeleteClick", "", "* 同じ項目削除(&K)", {"項目：行頭からの桁数(半角での桁数)"}, D, RunSameItem});
}

}  // namespace sorabu::textcmd
