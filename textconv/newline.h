// Newline conversions.
//
// Each function has a form that appends to a caller's string, which must not hold the input,
// and a form that returns a new string. None fails or reads outside its input.
#pragma once

#include <string>
#include <string_view>

namespace sorabu::textconv {

enum class NewlineKind : int { CrLf = 1, Cr = 2, Lf = 3 };

// Automatic conversion of one streaming line (a line that ended at CR or CR LF and may hold LF
// bytes; the writer ends it with CR LF). When the first CR or LF of the line is an LF, every
// LF becomes CR LF, except that a final LF is dropped: the writer's CR LF takes its place, so
// "a LF b LF" read as one line is written as "a CR LF b CR LF". Otherwise the line is
// appended unchanged.
void AutoNewlineLine(std::string_view line, std::string& out);
std::string AutoNewlineLine(std::string_view line);

// Explicit conversion of a whole text: a CR directly followed by LF is one newline of kind
// CrLf, any other CR is of kind Cr, any other LF of kind Lf. Newlines of kind `from` become
// the sequence of kind `to`; everything else stays, and nothing is added at the end.
void ConvertNewlines(std::string_view text, NewlineKind from, NewlineKind to, std::string& out);
std::string ConvertNewlines(std::string_view text, NewlineKind from, NewlineKind to);

// The same conversion fed in chunks of any size, for files that are not read whole: a CR at
// the end of a chunk is held until the next byte (or Finish) shows which kind it is.
class NewlineConverter {
 public:
  NewlineConverter(NewlineKind from, NewlineKind to) : from_(from), to_(to) {}
  void Feed(std::string_view chunk, std::string& out);
  void Finish(std::string& out);

 private:
  NewlineKind from_;
  NewlineKind to_;
  bool pending_cr_ = false;
};

}  // namespace sorabu::textconv
