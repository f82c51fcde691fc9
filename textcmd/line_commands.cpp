// The line commands: sorting, numbering, serial numbers, reversal and the column commands.
//
// Sorting reads the list model and orders lines by sort keys from the context (the locale's
// collator at secondary strength, so letter case is ignored); lines with equal keys keep their
// order (and are reversed with the rest in descending order). Everything else is a per-line step on the streaming model.
#include <algorithm>
#include <numeric>

#include "textcmd/collation.h"
#include "textcmd/command_helpers.h"
#include "textcmd/command_table.h"
#include "textcmd/line_edit.h"
#include "textcmd/line_runner.h"

namespace sorabu::textcmd {
namespace {

Outcome RunSort(const std::string& path, TCommandContext& context, bool descending) {
  if (!IsExistingFile(path)) return Outcome::NoFile;
  return RunFrame(path, Variation::Default, context, [&](const std::string& w, TOutFile& out, std::string& error) {
    std::string text;
    std::vector<std::string_view> lines;
    if (!ReadListLineViews(w, text, lines, error)) return false;
    CheckCancelled(context);
    std::vector<std::size_t> order = AscendingOrder(lines, context.sortKey);
    CheckCancelled(context);
    if (descending) std::reverse(order.begin(), order.end());
    for (std::size_t i : order) out.Line(lines[i]);
    return true;
  });
}

enum class NumberAt { Left, LeftComma, Right, RightComma };

Outcome RunNumbers(const std::string& path, TCommandContext& context, NumberAt at) {
  if (!IsExistingFile(path)) return Outcome::NoFile;
  unsigned long long counter = 0;
  std::string text;
  return RunPerLine(path, Variation::Default, context, [&](std::string_view line, const Emit& emit) {
    const std::string number = std::to_string(++counter);
    text.clear();
    switch (at) {
      case NumberAt::Left: text.append(number).append(" ").append(line); break;
      case NumberAt::LeftComma: text.append(number).append(",").append(line); break;
      case NumberAt::Right: text.append(line).append(" ").append(number); break;
      case NumberAt::RightComma: text.append(line).append(",").append(number); break;
    }
    emit(text);
  });
}

Outcome RunSerial(const std::string& path, TCommandContext& context) {
  if (!IsExistingFile(path)) return Outcome::NoFile;
  const auto format = context.dialogs.InputBox(Sj("連番の書式入力"), Sj("書式:(文字)+数字 例) X0000"), "");
  if (!format) return Outcome::Cancelled;
  const auto initial = AskInteger(context, "連番の初期数値", "初期数値 例) 1", "");
  if (!initial) return Outcome::Cancelled;
  const SerialFormat serial = SerialFormat::Parse(*format);
  long long number = *initial;
  return RunPerLine(path, Variation::Default, context, [&](std::string_view line, const Emit& emit) {
    emit(serial.Format(number++) + " " + std::string(line));
  });
}

Outcome RunBreak(const std::string& path, TCommandContext& context, bool withText) {
  if (!IsExistingFile(path)) return Outcome::NoFile;
  const std::string caption = Sj(withText ? "指定桁位置に文字＋改行を挿入" : "指定位置で改行");
  std::string text;
  if (withText) {
    const auto answer = context.dialogs.InputBox(caption, Sj("挿入する文字を入力して下さい"), "");
    if (!answer) return Outcome::Cancelled;
    text = *answer;
  }
  const auto columns = AskColumns(context, caption, false);
  if (!columns) return Outcome::Cancelled;
  std::string piece;
  return RunPerLine(path, Variation::Default, context, [&](std::string_view line, const Emit& emit) {
    BreakAtColumn(line, columns->first, [&](std::string_view bytes, bool last) {
      if (last) {
        emit(bytes);
        return;
      }
      piece.assign(bytes).append(text);
      emit(piece);
    });
  });
}

Outcome RunInsert(const std::string& path, TCommandContext& context) {
  if (!IsExistingFile(path)) return Outcome::NoFile;
  const std::string caption = Sj("指定桁位置に文字を挿入");
  const auto text = context.dialogs.InputBox(caption, Sj("挿入する文字を入力して下さい"), "");
  if (!text) return Outcome::Cancelled;
  const auto columns = AskColumns(context, caption, false);
  if (!columns) return Outcome::Cancelled;
  return RunPerLine(path, Variation::Default, context, [&](std::string_view line, const Emit& emit) {
    emit(InsertAtColumn(line, columns->first, *text));
  });
}

Outcome RunColumns(const std::string& path, TCommandContext& context, bool extract) {
  if (!IsExistingFile(path)) return Outcome::NoFile;
  const auto columns = AskColumns(context, Sj(extract ? "桁抽出" : "桁削除"), true);
  if (!columns) return Outcome::Cancelled;
  const long long b = columns->first;
  const long long n = columns->second;
  return RunPerLine(path, Variation::Default, context, [&](std::string_view line, const Emit& emit) {
    emit(extract ? ExtractColumns(line, b, n) : DeleteColumns(line, b, n));
  });
}

}  // namespace

void AppendLineCommands(TCommandTable& table) {
  using Ctx = TCommandContext;
  const std::vector<std::string> column1{"何桁目から(1-9999)"};
  const std::vector<std::string> column2{"何桁目から(1-9999)", "何文字分(1-9999)"};
  table.push_back({"MLineSortU1Click", "* 行の並び替え", "昇順", {}, Variation::Default,
                   [](const std::string& p, Ctx& c) { return RunSort(p, c, false); }});
  table.push_back({"MLineSortD1Click", "* 行の並び替え", "降順", {}, Variation::Default,
                   [](const std::string& p, Ctx& c) { return RunSort(p, c, true); }});
  table.push_back({"MlinenoaddLeft1Click", "* 行番号を追加", "行頭", {}, Variation::Default,
                   [](const std::string& p, Ctx& c) { return RunNumbers(p, c, NumberAt::Left); }});
  table.push_back({"MlinenoaddLeftc1Click", "* 行番号を追加", "行頭（，）", {}, Variation::Default,
                   [](const std::string& p, Ctx& c) { return RunNumbers(p, c, NumberAt::LeftComma); }});
  table.push_back({"MlinenoaddRight1Click", "* 行番号を追加", "行末", {}, Variation::Default,
                   [](const std::string& p, Ctx& c) { return RunNumbers(p, c, NumberAt::Right); }});
  table.push_back({"MlinenoaddRightc1Click", "* 行番号を追加", "（，）行末", {}, Variation::Default,
                   [](const std::string& p, Ctx& c) { return RunNumbers(p, c, NumberAt::RightComma); }});
  table.push_back({"Mrenban1Click", "", "* 連番を追加", {"書式:(文字)+数字 例) X0000", "初期数値 例) 1"},
                   Variation::Default, [](const std::string& p, Ctx& c) { return RunSerial(p, c); }});
  table.push_back({"Mreverse1Click", "", "* 文字列リバース", {}, Variation::Default,
                   [](const std::string& p, Ctx& c) {
                     if (!IsExistingFile(p)) return Outcome::NoFile;
                     return RunPerLine(p, Variation::Default, c,
                                       [](std::string_view line, const Emit& emit) { emit(ReverseLine(line)); });
                   }});
  table.push_back({"MinsertCR1Click", "* 桁位置に挿入", "改行", column1, Variation::Default,
                   [](const std::string& p, Ctx& c) { return RunBreak(p, c, false); }});
  std::vector<std::string> textThenColumn{"挿入する文字を入力して下さい", "何桁目から(1-9999)"};
  table.push_back({"MinsertChr1Click", "* 桁位置に挿入", "文字＋改行", textThenColumn, Variation::Default,
                   [](const std::string& p, Ctx& c) { return RunBreak(p, c, true); }});
  table.push_back({"MinsertChar1Click", "* 桁位置に挿入", "文字", textThenColumn, Variation::Default,
                   [](const std::string& p, Ctx& c) { return RunInsert(p, c); }});
  table.push_back({"Mcolumncopy1Click", "", "* 桁抽出", column2, Variation::Default,
                   [](const std::string& p, Ctx& c) { return RunColumns(p, c, true); }});
  table.push_back({"Mcolumndelete1Click", "", "* 桁削除", column2, Variation::Default,
                   [](const std::string& p, Ctx& c) { return RunColumns(p, c, false); }});
}

}  // namespace sorabu::textcmd
