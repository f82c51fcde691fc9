// Arbitrary bytes through the line converters: nothing may read outside the input (it is
// copied into a heap block of exactly its size, so AddressSanitizer sees a read past its end),
// and the promises that hold for any input are checked: the transfer encodings decode back
// to their input; Shift-JIS <-> EUC, Shift-JIS -> JIS -> Shift-JIS and the mail header give
// back valid text; chunked newline conversion and a line fed in pieces equal the one-call
// results; appending keeps what was there.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "textconv/base64.h"
#include "textconv/binhex.h"
#include "textconv/cp932.h"
#include "textconv/jis_euc_sjis.h"
#include "textconv/line_conversion.h"
#include "textconv/line_stream.h"
#include "textconv/mail_header.h"
#include "textconv/newline.h"
#include "textconv/uuencode.h"
#include "textconv/width.h"

namespace tc = sorabu::textconv;

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

// Whether text is Shift-JIS made of characters the code arithmetic maps one to one: ASCII
// other than ESC, half-width katakana, and pairs of JIS X 0208 rows 1..94.
bool IsPlainShiftJis(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b == 0x1B) return false;
    if (b < 0x80 || tc::IsHalfKana(b)) continue;
    if (b > 0xEF || !tc::IsLeadByte(b) || i + 1 == text.size()) return false;
    if (!tc::IsTrailByte(static_cast<unsigned char>(text[++i]))) return false;
  }
  return true;
}

// Half-width katakana come back from JIS full-width, and "=" could start an encoded word.
bool HasHalfKanaOrEquals(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b == '=' || tc::IsHalfKana(b)) return true;
    if (tc::IsLeadByte(b)) ++i;
  }
  return false;
}

// One line converter, one code conversion and one width conversion, picked by `which`; each must
// keep what its output held before.
void Converters(std::string_view text, unsigned which) {
  std::string out = "keep";
  tc::LineConverterFor(1 + static_cast<int>(which % 14))(text, out);
  Check(out.compare(0, 4, "keep") == 0);
  tc::ConvertKanjiCode(text, 2 + static_cast<int>(which % 5));
  switch (which % 4) {
    case 0: tc::HalfToFull(text); break;
    case 1: tc::FullToHalf(text); break;
    case 2: tc::HalfKanaToFullKana(text); break;
    default: tc::AutoNewlineLine(text); break;
  }
}

void RoundTrips(std::string_view text) {
  Check(tc::Base64Decode(tc::Base64Encode(text)) == text);
  Check(tc::UuDecode(tc::UuEncode(text)) == text);
  Check(tc::BinHexDecode(tc::BinHexEncode(text)) == text);
  if (!IsPlainShiftJis(text)) return;
  Check(tc::EucToShiftJis(tc::ShiftJisToEuc(text)) == text);
  const std::string jis = tc::ShiftJisToJis(text);
  Check(tc::EucToJis(tc::ShiftJisToEuc(text)) == jis);
  const std::string back = tc::JisToShiftJis(jis);
  // Half-width katakana come back full-width; everything else as it was.
  Check(tc::JisToShiftJis(tc::ShiftJisToJis(back)) == back);
  if (!HasHalfKanaOrEquals(text)) {
    Check(back == text);
    Check(tc::JisToShiftJis(tc::MailHeaderDecode(tc::MailHeaderEncode(text))) == text);
  }
}

// One streaming conversion fed the text in pieces against its one-call form.
void InPieces(std::string_view text, unsigned which, std::size_t cut, std::size_t step) {
  using K = tc::LineStream::Kind;
  const std::pair<K, std::string (*)(std::string_view)> kinds[] = {
      {K::JisToShiftJis, [](std::string_view t) { return tc::JisToShiftJis(t); }},
      {K::EucToShiftJis, [](std::string_view t) { return tc::EucToShiftJis(t); }},
      {K::ShiftJisToJis, [](std::string_view t) { return tc::ShiftJisToJis(t); }},
      {K::EucToJis, [](std::string_view t) { return tc::EucToJis(t); }},
      {K::ShiftJisToEuc, [](std::string_view t) { return tc::ShiftJisToEuc(t); }},
      {K::JisToEuc, [](std::string_view t) { return tc::JisToEuc(t); }},
      {K::Base64Encode, [](std::string_view t) { return tc::Base64Encode(t); }},
      {K::AutoNewlineLine, [](std::string_view t) { return tc::AutoNewlineLine(t); }},
      {K::ConvertToJis, [](std::string_view t) { return tc::ConvertKanjiCode(t, 2); }},
      {K::ConvertToEuc, [](std::string_view t) { return tc::ConvertKanjiCode(t, 4); }},
      {K::ConvertToShiftJis, [](std::string_view t) { return tc::ConvertKanjiCode(t, 5); }},
      {K::Base64Decode, [](std::string_view t) { return tc::Base64Decode(t); }},
      {K::HalfToFull, [](std::string_view t) { return tc::HalfToFull(t); }},
      {K::FullToHalf, [](std::string_view t) { return tc::FullToHalf(t); }},
      {K::HalfKanaToFullKana, [](std::string_view t) { return tc::HalfKanaToFullKana(t); }},
      {K::UuEncode, [](std::string_view t) { return tc::UuEncode(t); }},
      {K::BinHexEncode, [](std::string_view t) { return tc::BinHexEncode(t); }},
  };
  const auto& [kind, whole] = kinds[which % std::size(kinds)];
  tc::LineStream stream(kind);
  std::string pieces;
  stream.Feed(text.substr(0, cut), pieces);
  for (std::size_t at = cut; at < text.size(); at += step) stream.Feed(text.substr(at, step), pieces);
  stream.Finish(pieces);
  Check(pieces == whole(text));
}

void NewlinesInTwo(std::string_view text, std::size_t cut) {
  for (const auto kind : {tc::NewlineKind::CrLf, tc::NewlineKind::Cr, tc::NewlineKind::Lf}) {
    const std::string whole = tc::ConvertNewlines(text, kind, tc::NewlineKind::Lf);
    tc::NewlineConverter chunked(kind, tc::NewlineKind::Lf);
    std::string pieces;
    chunked.Feed(text.substr(0, cut), pieces);
    chunked.Feed(text.substr(cut), pieces);
    chunked.Finish(pieces);
    Check(pieces == whole);
  }
}

}  // namespace

// Byte 0: where the text is cut; byte 1: the road (and which streaming conversion); byte 2: the
// size of the pieces after the cut (1 to 64); the rest is the text. One road per input keeps
// every run short.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const std::unique_ptr<char[]> block(new char[size - 3 == 0 ? 1 : size - 3]);
  for (std::size_t i = 3; i < size; ++i) block[i - 3] = static_cast<char>(data[i]);
  const std::string_view text(block.get(), size - 3);
  const std::size_t cut = data[0] % (text.size() + 1);
  switch (data[1] % 4) {
    case 0: Converters(text, data[2]); break;
    case 1: RoundTrips(text); break;
    case 2: InPieces(text, data[1] / 4u, cut, 1 + data[2] % 64u); break;
    default: NewlinesInTwo(text, cut); break;
  }
  return 0;
}
