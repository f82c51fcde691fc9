// Newline conversions.
//
// The explicit conversion classifies each newline by the byte after a CR, so a chunked reader
// has to hold back a CR that ends a chunk; NewlineConverter carries that one bit, and the
// whole-text function is a single Feed followed by Finish. Runs without CR or LF are copied in
// one piece.
#include "textconv/newline.h"

#include "textconv/appender.h"
#include "textconv/jis_code.h"

namespace sorabu::textconv {
namespace {

using detail::Appender;
using detail::Bytes;
using detail::kCr;
using detail::kLf;

void PutNewline(Appender& a, NewlineKind kind) {
  a.Ensure(2);
  if (kind == NewlineKind::CrLf) {
    a.Put(kCr, kLf);
  } else {
    a.Put(kind == NewlineKind::Cr ? kCr : kLf);
  }
}

}  // namespace

void AutoNewlineLine(std::string_view line, std::string& out) {
  const std::size_t first = line.find_first_of("\r\n");
  if (first == std::string_view::npos || line[first] == '\r') {
    out.append(line);
    return;
  }
  const std::string_view body = line.back() == '\n' ? line.substr(0, line.size() - 1) : line;
  out.reserve(out.size() + body.size() + body.size() / 16 + 1);
  std::size_t pos = 0;
  for (std::size_t lf = body.find('\n'); lf != std::string_view::npos; lf = body.find('\n', pos)) {
    out.append(body.substr(pos, lf - pos));
    out.append("\r\n");
    pos = lf + 1;
  }
  out.append(body.substr(pos));
}

void NewlineConverter::Feed(std::string_view chunk, std::string& out) {
  const unsigned char* s = Bytes(chunk);
  const std::size_t n = chunk.size();
  Appender a(out, n + 16);
  const auto emit = [&](NewlineKind kind) { PutNewline(a, kind == from_ ? to_ : kind); };
  std::size_t i = 0;
  if (pending_cr_ && n > 0) {
    pending_cr_ = false;
    if (s[0] == kLf) {
      emit(NewlineKind::CrLf);
      i = 1;
    } else {
      emit(NewlineKind::Cr);
    }
  }
  while (i < n) {
    std::size_t end = i;
    while (end < n && s[end] != kCr && s[end] != kLf) ++end;
    a.Append(s + i, end - i);
    i = end;
    if (i == n) break;
    if (s[i] == kLf) {
      emit(NewlineKind::Lf);
      ++i;
    } else if (i + 1 == n) {
      pending_cr_ = true;
      ++i;
    } else if (s[i + 1] == kLf) {
      emit(NewlineKind::CrLf);
      i += 2;
    } else {
      emit(NewlineKind::Cr);
      ++i;
    }
  }
}

void NewlineConverter::Finish(std::string& out) {
  if (!pending_cr_) return;
  pending_cr_ = false;
  Appender a(out, 2);
  PutNewline(a, from_ == NewlineKind::Cr ? to_ : NewlineKind::Cr);
}

void ConvertNewlines(std::string_view text, NewlineKind from, NewlineKind to, std::string& out) {
  NewlineConverter converter(from, to);
  converter.Feed(text, out);
  converter.Finish(out);
}

std::string ConvertNewlines(std::string_view text, NewlineKind from, NewlineKind to) {
  std::string out;
  ConvertNewlines(text, from, to, out);
  return out;
}

std::string AutoNewlineLine(std::string_view line) {
  std::string out;
  AutoNewlineLine(line, out);
  return out;
}

}  // namespace sorabu::textconv
