#include "textcmd/command_helpers.h"

#include <algorithm>

#include "textcmd/line_edit.h"
#include "textcmd/line_runner.h"
#include "textconv/cp932.h"

namespace sorabu::textcmd {

std::string Sj(const char* utf8) { return textconv::Utf8ToCp932(utf8); }

Outcome RunPerLine(const std::string& path, Variation variation, TCommandContext& context,
                   const std::function<void(std::string_view line, const Emit& emit)>& step,
                   const std::function<void(const Emit& emit)>& end) {
  return RunFrame(path, variation, context, [&](const std::string& workingCopy, TOutFile& out, std::string& error) {
    const Emit emit = [&out](std::string_view line) { out.Line(line); };
    if (!ForEachStreamingLine(workingCopy, out.Model(), [&](std::string_view line) { step(line, emit); }, error))
      return false;
    if (end) end(emit);
    return true;
  });
}

std::optional<std::pair<long long, long long>> AskColumns(TCommandContext& context, const std::string& caption,
                                                          bool both) {
  static constexpr long long kMax = 65353;
  const auto clamp = [](long long v) { return std::clamp(v, 1LL, kMax); };
  dialogs::TDialogs::ColumnSetup setup;
  setup.caption = caption;
  setup.label1 = Sj("何桁目から(1-9999)");
  setup.label2 = Sj("何文字分(1-9999)");
  setup.second = both;
  setup.first = std::to_string(clamp(context.caretColumn + 1LL));
  setup.count = std::to_string(clamp(context.selectionLength));
  const auto answer = context.dialogs.Columns(setup);
  if (!answer) return std::nullopt;
  const auto b = ParseInteger(answer->first);
  std::pair<long long, long long> fields{b ? clamp(*b) : 1LL, 0LL};
  if (both) {
    const auto n = ParseInteger(answer->count);
    fields.second = n ? clamp(*n) : 0;
  }
  return fields;
}

std::optional<long long> AskInteger(TCommandContext& context, const char* captionUtf8, const char* promptUtf8,
                                    const std::string& proposal) {
  const auto answer = context.dialogs.InputBox(Sj(captionUtf8), Sj(promptUtf8), proposal);
  if (!answer) return std::nullopt;
  const auto value = ParseInteger(*answer);
  if (!value) context.dialogs.Error(NotAnInteger(*answer));
  return value;
}

}  // namespace sorabu::textcmd
