// Converting one line that arrives in pieces.
//
// The streaming line reader ends a line only at CR or CR LF, so a file whose lines end in LF
// alone is a single line, however large; a file command cannot always hold a line whole. A
// LineStream takes the pieces of one line in order and appends exactly what the one-call
// converter appends for the whole line. Between pieces it holds only an incomplete character,
// escape sequence or Base64 group, or a final LF (a few bytes), or for the uuencode-style and
// BinHex-style encodings less than one sub-line (45 or 48 bytes). The automatic code conversion
// is the exception: it holds the line until its code is decided, which needs at least the
// first 513 bytes, and holds all of it when the code never is (ASCII or ambiguous text).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "textconv/code_core.h"

namespace sorabu::textconv {

class LineStream {
 public:
  // 1..7, 9, 10 and 12 are the conversion numbers of the same converters.
  enum class Kind : int {
    JisToShiftJis = 1,
    EucToShiftJis = 2,
    ShiftJisToJis = 3,
    EucToJis = 4,
    ShiftJisToEuc = 5,
    JisToEuc = 6,
    Base64Encode = 7,
    Base64Decode = 9,
    UuEncode = 10,
    BinHexEncode = 12,
    AutoNewlineLine = 20,    // AutoNewlineLine
    ConvertToJis = 22,       // ConvertKanjiCode(line, 2)
    ConvertToEuc = 24,       // ConvertKanjiCode(line, 4)
    ConvertToShiftJis = 25,  // ConvertKanjiCode(line, 5)
    HalfToFull = 30,
    FullToHalf = 31,
    HalfKanaToFullKana = 32,
  };

  explicit LineStream(Kind kind);

  void Feed(std::string_view piece, std::string& out);
  // Ends the line; the stream is then ready for the next line.
  void Finish(std::string& out);

  // Bytes held back from the pieces fed so far.
  std::size_t Held() const noexcept { return carry_.size(); }

 private:
  enum class NewlineMode { Searching, AsIs, Replacing };

  void Run(std::string_view piece, bool last, std::string& out);
  void RunCore(std::string_view piece, bool last, std::string& out);
  void RunAutoNewline(std::string_view piece, std::string& out);
  bool Decide(bool last, std::string& out);
  void Reset();

  Kind kind_;
  detail::CodeCore core_ = nullptr;
  std::string carry_;
  bool two_byte_ = false;
  bool decided_ = false;
  std::size_t next_check_ = 0;
  NewlineMode newline_mode_ = NewlineMode::Searching;
  bool pending_lf_ = false;
};

}  // namespace sorabu::textconv
