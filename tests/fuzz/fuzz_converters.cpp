// Arbitrary bytes through every line converter: nothing may read outside the input (it is
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::unique_ptr<char[]> block(new char[size == 0 ? 1 : size]);
  for (std::size_t i = 0; i < size; ++i) block[i] = static_cast<char>(data[i]);
  const std::string_view text(block.get(), size);

  std::string out;
  for (int code = 1; code <= 14; ++code) {
    out.assign("keep");
    tc::LineConverterFor(code)(text, out);
    Check(out.compare(0, 4, "keep") == 0);
  }
  for (int target : {2, 3, 4, 5, 6}) tc::ConvertKanjiCode(text, target);
  tc::HalfToFull(text);
  tc::FullToHalf(text);
  tc::HalfKanaToFullKana(text);
  tc::AutoNewlineLine(text);

  Check(tc::Base64Decode(tc::Base64Encode(text)) == text);
  Check(tc::UuDecode(tc::UuEncode(text)) == text);
  Check(tc::BinHexDecode(tc::BinHexEncode(text)) == text);

  if (IsPlainShiftJis(text)) {
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

  const std::size_t cut = size == 0 ? 0 : data[0] % (size + 1);
  using K = tc::LineStream::Kind;
  const std::pair<K, std::string> one_call[] = {
      {K::JisToShiftJis, tc::JisToShiftJis(text)},         {K::EucToShiftJis, tc::EucToShiftJis(text)},
      {K::ShiftJisToJis, tc::ShiftJisToJis(text)},         {K::EucToJis, tc::EucToJis(text)},
      {K::ShiftJisToEuc, tc::ShiftJisToEuc(text)},         {K::JisToEuc, tc::JisToEuc(text)},
      {K::Base64Encode, tc::Base64Encode(text)},           {K::AutoNewlineLine, tc::AutoNewlineLine(text)},
      {K::ConvertToJis, tc::ConvertKanjiCode(text, 2)},    {K::ConvertToEuc, tc::ConvertKanjiCode(text, 4)},
      {K::ConvertToShiftJis, tc::ConvertKanjiCode(text, 5)}, {K::Base64Decode, tc::Base64Decode(text)},
      {K::HalfToFull, tc::HalfToFull(text)},               {K::FullToHalf, tc::FullToHalf(text)},
      {K::HalfKanaToFullKana, tc::HalfKanaToFullKana(text)}, {K::UuEncode, tc::UuEncode(text)},
      {K::BinHexEncode, tc::BinHexEncode(text)},
  };
  for (const auto& [kind, want] : one_call) {
    tc::LineStream stream(kind);
    std::string pieces;
    stream.Feed(text.substr(0, cut), pieces);
    for (std::size_t at = cut; at < size; at += 7) stream.Feed(text.substr(at, 7), pieces);
    stream.Finish(pieces);
    Check(pieces == want);
  }
  for (const auto kind : {tc::NewlineKind::CrLf, tc::NewlineKind::Cr, tc::NewlineKind::Lf}) {
    const std::string whole = tc::ConvertNewlines(text, kind, tc::NewlineKind::Lf);
    tc::NewlineConverter chunked(kind, tc::NewlineKind::Lf);
    std::string pieces;
    chunked.Feed(text.substr(0, cut), pieces);
    chunked.Feed(text.substr(cut), pieces);
    chunked.Finish(pieces);
    Check(pieces == whole);
  }
  return 0;
}
