// Pieces the command families share: the per-line runner, the column dialog and number answers.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "textcmd/working_copy.h"

namespace sorabu::textcmd {

// Emits one output line (the file's line end is added).
using Emit = std::function<void(std::string_view)>;

// The streaming frame with a per-line step that may write any number of lines, and an end step.
Outcome RunPerLine(const std::string& path, Variation variation, TCommandContext& context,
                   const std::function<void(std::string_view line, const Emit& emit)>& step,
                   const std::function<void(const Emit& emit)>& end = {});

// The column dialog: field 1 (from column, proposed caret + 1) and, when both, field 2 (count,
// proposed the selection length), each brought into 1–65353. Answers that are not numbers give
// 1 and 0. nullopt on Cancel.
std::optional<std::pair<long long, long long>> AskColumns(TCommandContext& context, const std::string& caption,
                                                          bool both);

// An input box whose answer must be an integer; a failed conversion is reported and gives
// nullopt, like Cancel.
std::optional<long long> AskInteger(TCommandContext& context, const char* captionUtf8, const char* promptUtf8,
                                    const std::string& proposal);

std::string Sj(const char* utf8);

}  // namespace sorabu::textcmd
