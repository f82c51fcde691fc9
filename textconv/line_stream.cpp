// Pieces of one line through the resumable converter cores.
//
// A piece is converted directly when nothing is held; otherwise the held bytes and the piece
// are joined in carry_ first. The cores consume everything but an incomplete unit at the end,
// so carry_ stays a few bytes long and the join copies one piece at most.
//
// The automatic conversion classifies a prefix of the line: the classifier's first decision
// depends only on the bytes before it, except for the binary screening of the first 512
// bytes, so a decision on a prefix of 513 bytes or more is the decision on the whole line.
// The prefix is classified again each time it has doubled, which keeps the work linear.
#include "textconv/line_stream.h"

#include "textconv/base64.h"
#include "textconv/jis_euc_sjis.h"

namespace sorabu::textconv {
namespace {

constexpr std::size_t kFirstCheck = 1024;
static_assert(kFirstCheck > 512, "the binary screening covers the first 512 bytes");

std::size_t Base64Core(std::string_view input, bool last, bool&, std::string& out) {
  const std::size_t used = last ? input.size() : input.size() - input.size() % 3;
  Base64Encode(input.substr(0, used), out);
  return used;
}

detail::CodeCore CoreOf(LineStream::Kind kind) {
  using K = LineStream::Kind;
  switch (kind) {
    case K::JisToShiftJis: return detail::JisToShiftJisCore;
    case K::EucToShiftJis: return detail::EucToShiftJisCore;
    case K::ShiftJisToJis: return detail::ShiftJisToJisCore;
    case K::EucToJis: return detail::EucToJisCore;
    case K::ShiftJisToEuc: return detail::ShiftJisToEucCore;
    case K::JisToEuc: return detail::JisToEucCore;
    case K::Base64Encode: return Base64Core;
    case K::Base64Decode: return detail::Base64DecodeCore;
    case K::UuEncode: return detail::UuEncodeCore;
    case K::BinHexEncode: return detail::BinHexEncodeCore;
    case K::HalfToFull: return detail::HalfToFullCore;
    case K::FullToHalf: return detail::FullToHalfCore;
    case K::HalfKanaToFullKana: return detail::HalfKanaToFullKanaCore;
    default: return nullptr;
  }
}

bool IsAutomatic(LineStream::Kind kind) {
  return kind == LineStream::Kind::ConvertToJis || kind == LineStream::Kind::ConvertToEuc ||
         kind == LineStream::Kind::ConvertToShiftJis;
}

int TargetOf(LineStream::Kind kind) { return static_cast<int>(kind) - 20; }

}  // namespace

LineStream::LineStream(Kind kind) : kind_(kind) { Reset(); }

void LineStream::Feed(std::string_view piece, std::string& out) { Run(piece, false, out); }

void LineStream::Finish(std::string& out) {
  Run({}, true, out);
  Reset();
}

void LineStream::Reset() {
  core_ = CoreOf(kind_);
  carry_.clear();
  two_byte_ = false;
  decided_ = !IsAutomatic(kind_);
  next_check_ = kFirstCheck;
  newline_mode_ = NewlineMode::Searching;
  pending_lf_ = false;
}

void LineStream::Run(std::string_view piece, bool last, std::string& out) {
  if (kind_ == Kind::AutoNewlineLine) {
    RunAutoNewline(piece, out);
    return;
  }
  if (!decided_) {
    carry_.append(piece);
    if (!Decide(last, out)) return;
    piece = {};
  }
  RunCore(piece, last, out);
}

// Returns true when the held prefix is to be converted by core_ (nullptr: kept as it is).
bool LineStream::Decide(bool last, std::string& out) {
  if (last) {
    ConvertKanjiCode(carry_, TargetOf(kind_), out);
    carry_.clear();
    return false;
  }
  if (carry_.size() < next_check_) return false;
  const KanjiCode code = DetectKanjiCode(carry_);
  if (code == Ascii || code == EucOrShiftJis) {
    next_check_ = 2 * carry_.size();
    return false;
  }
  core_ = detail::CoreFor(code, TargetOf(kind_));
  decided_ = true;
  return true;
}

void LineStream::RunCore(std::string_view piece, bool last, std::string& out) {
  if (core_ == nullptr) {
    out.append(carry_);
    carry_.clear();
    out.append(piece);
    return;
  }
  if (carry_.empty()) {
    const std::size_t used = core_(piece, last, two_byte_, out);
    carry_.assign(piece.substr(used));
  } else {
    carry_.append(piece);
    const std::size_t used = core_(carry_, last, two_byte_, out);
    carry_.erase(0, used);
  }
}

// The first CR or LF of the line decides: after a CR the line stays as it is; after an LF
// every LF becomes CR LF, except an LF that ends the line. So an LF ending a piece is held
// until more of the line shows that it does not end it.
void LineStream::RunAutoNewline(std::string_view piece, std::string& out) {
  if (newline_mode_ == NewlineMode::Searching) {
    const std::size_t first = piece.find_first_of("\r\n");
    if (first == std::string_view::npos || piece[first] == '\r') {
      if (first != std::string_view::npos) newline_mode_ = NewlineMode::AsIs;
      out.append(piece);
      return;
    }
    newline_mode_ = NewlineMode::Replacing;
    out.append(piece.substr(0, first));
    piece.remove_prefix(first);
  } else if (newline_mode_ == NewlineMode::AsIs) {
    out.append(piece);
    return;
  }
  if (piece.empty()) return;
  if (pending_lf_) {
    out.append("\r\n");
    pending_lf_ = false;
  }
  if (piece.back() == '\n') {
    pending_lf_ = true;
    piece.remove_suffix(1);
  }
  std::size_t pos = 0;
  for (std::size_t lf = piece.find('\n'); lf != std::string_view::npos; lf = piece.find('\n', pos)) {
    out.append(piece.substr(pos, lf - pos));
    out.append("\r\n");
    pos = lf + 1;
  }
  out.append(piece.substr(pos));
}

}  // namespace sorabu::textconv
