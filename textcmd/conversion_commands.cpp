// The code conversions, transfer encodings, newline and width conversions as commands.
//
// The fixed conversions and the transfer encodings run through RunLineConversion, which keeps
// the working copy always. Everything that can stream does: a file whose lines end in LF alone
// is one endless streaming line, and the line streams convert it piece by piece, so memory
// stays flat. The explicit newline conversions read the file as bytes, in chunks.
#include <utility>

#include "textcmd/command_helpers.h"
#include "textcmd/command_table.h"
#include "textcmd/line_runner.h"
#include "textconv/line_stream.h"
#include "textconv/newline.h"

namespace sorabu::textcmd {
namespace {

using Kind = textconv::LineStream::Kind;

Outcome RunStream(const std::string& path, Variation variation, TCommandContext& context, Kind kind, bool keepEmpty) {
  return RunFrame(path, variation, context, [&](const std::string& w, TOutFile& out, std::string& error) {
    // The automatic newline conversion is how a file gets CR LF after every line, whatever it
    // held: it reads and writes by the literal model in every mode.
    if (kind == Kind::AutoNewlineLine) out.SetLineEnds(TLineEnds{});
    return StreamLines(static_cast<int>(kind), keepEmpty, w, out, error);
  });
}

Outcome RunNewlines(const std::string& path, TCommandContext& context, textconv::NewlineKind from,
                    textconv::NewlineKind to) {
  return RunFrame(path, Variation::Default, context, [&](const std::string& w, TOutFile& out, std::string& error) {
    textconv::NewlineConverter converter(from, to);
    std::string converted;
    const bool ok = ForEachChunk(
        w,
        [&](std::string_view chunk) {
          converted.clear();
          converter.Feed(chunk, converted);
          out.Write(converted);
        },
        error);
    converted.clear();
    converter.Finish(converted);
    out.Write(converted);
    return ok;
  });
}

}  // namespace

Outcome RunLineConversion(int code, const std::string& path, TCommandContext& context) {
  if (!IsExistingFile(path)) return Outcome::NoFile;
  return RunFrame(path, Variation::LineConversion, context,
                  [code](const std::string& w, TOutFile& out, std::string& error) {
                    return ConvertLines(code, w, out, error);
                  });
}

void AppendConversionCommands(TCommandTable& table) {
  const char* kCodes = "文字コード変換(&J)";
  const std::pair<const char*, const char*> lineConversions[] = {
      {"MjistosjisClick", "JIS->Shift+JIS(&J)"}, {"MeuctosjisClick", "EUC->Shift+JIS(&E)"},
      {"Msjistojis1Click", "Shift+JIS->JIS(&I)"}, {"Meuctojis1Click", "EUC->JIS(&U)"},
      {"Msjistoeuc1Click", "Shift+JIS->EUC(&C)"}, {"Mjistoeuc1Click", "JIS->EUC(&S)"},
      {"Mbase641Click", "->Base64(&B)"},         {"Mmailheader1Click", "->Mailヘッダー形式(&M)"},
      {"Mbase64D1Click", "Base64->"},            {"Municode1Click", "->Unicode"},
      {"MUnicodeD1Click", "Unicode->"},          {"Mbinhex1Click", "->BinHex"},
      {"MBinHexD1Click", "BinHex->"},            {"MmailheaderD1Click", "Mailヘッダー形式->"},
  };
  int code = 1;
  for (const auto& [handler, caption] : lineConversions) {
    table.push_back({handler, kCodes, caption, {}, Variation::LineConversion,
                     [code](const std::string& path, TCommandContext& context) {
                       return RunLineConversion(code, path, context);
                     }});
    ++code;
  }
  table.push_back({"Mtojis1Click", "", "* 文字コード自動変換(&A)", {}, Variation::AutoCode,
                   [](const std::string& path, TCommandContext& context) {
                     if (!IsExistingFile(path)) return Outcome::NoFile;
                     return RunStream(path, Variation::AutoCode, context, Kind::ConvertToShiftJis, true);
                   }});
  table.push_back({"Mcrauto1Click", "", "* 改行コード自動変換", {}, Variation::Default,
                   [](const std::string& path, TCommandContext& context) {
                     if (!IsExistingFile(path)) return Outcome::NoFile;
                     return RunStream(path, Variation::Default, context, Kind::AutoNewlineLine, false);
                   }});
  using NK = textconv::NewlineKind;
  struct Explicit {
    const char* handler;
    const char* caption;
    NK from;
    NK to;
  };
  const Explicit newlines[] = {
      {"MCRtoCRLF1Click", "CR->CR+LF", NK::Cr, NK::CrLf}, {"MLFtoCRLF1Click", "LF->CR+LF", NK::Lf, NK::CrLf},
      {"MCRLFtoCR1Click", "CR+LF->CR", NK::CrLf, NK::Cr}, {"MLFtoCR1Click", "LF->CR", NK::Lf, NK::Cr},
      {"MCRLFtoLF1Click", "CR+LF->LF", NK::CrLf, NK::Lf}, {"MCRtoLF1Click", "CR->LF", NK::Cr, NK::Lf},
  };
  for (const Explicit& e : newlines) {
    table.push_back({e.handler, "* 改行コード変換", e.caption, {}, Variation::Default,
                     [from = e.from, to = e.to](const std::string& path, TCommandContext& context) {
                       if (!IsExistingFile(path)) return Outcome::NoFile;
                       return RunNewlines(path, context, from, to);
                     }});
  }
  const std::pair<const char*, const char*> widths[] = {
      {"Mhanktozen1Click", "* 半角->全角"},
      {"Mzentohank1Click", "* 全角->半角"},
      {"Mhkanatozkana1Click", "* 半角ｶﾅ->全角カナ"},
  };
  const Kind widthKinds[] = {Kind::HalfToFull, Kind::FullToHalf, Kind::HalfKanaToFullKana};
  for (int i = 0; i < 3; ++i) {
    table.push_back({widths[i].first, "", widths[i].second, {}, Variation::Default,
                     [kind = widthKinds[i]](const std::string& path, TCommandContext& context) {
                       if (!IsExistingFile(path)) return Outcome::NoFile;
                       return RunStream(path, Variation::Default, context, kind, false);
                     }});
  }
}

}  // namespace sorabu::textcmd
