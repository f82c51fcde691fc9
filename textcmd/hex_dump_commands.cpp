// The two hex-dump commands. The information line is taken from the context before the
// working copy is made, as the viewer showed it when the command started.
#include "textcmd/command_helpers.h"
#include "textcmd/command_table.h"
#include "textcmd/hex_dump.h"
#include "textcmd/line_runner.h"

namespace sorabu::textcmd {
namespace {

Outcome RunStandard(const std::string& path, TCommandContext& context) {
  if (!IsExistingFile(path)) return Outcome::NoFile;
  const std::string info = context.infoLine ? context.infoLine(path) : std::string();
  return RunFrame(path, Variation::Default, context, [&](const std::string& w, TOutFile& out, std::string& error) {
    THexDump dump([&out](std::string_view line) { out.Line(line); });
    dump.Header(info);
    const bool ok = ForEachChunk(w, [&dump](std::string_view chunk) { dump.Bytes(chunk); }, error);
    dump.Finish();
    return ok;
  });
}

Outcome RunBelow(const std::string& path, TCommandContext& context) {
  if (!IsExistingFile(path)) return Outcome::NoFile;
  return RunPerLine(path, Variation::Default, context,
                    [](std::string_view line, const Emit& emit) { HexBelowLine(line, emit); });
}

}  // namespace

void AppendHexDumpCommands(TCommandTable& table) {
  table.push_back({"Mdump1Click", "* 16進表示(&P)", "標準表示", {}, Variation::Default, RunStandard});
  table.push_back({"Mdump1bClick", "* 16進表示(&P)", "行下表示", {}, Variation::Default, RunBelow});
}

}  // namespace sorabu::textcmd
