// Classification of a byte text by the Japanese character code that produced it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace sorabu::textconv {

// The values are fixed: the viewer's name table and the conversion dispatcher index by them.
enum KanjiCode : int {
  Ascii = 0,
  Binary = 1,
  Jis83 = 2,
  Jis78 = 3,
  Euc = 4,
  ShiftJis = 5,
  EucOrShiftJis = 6,
  // Beyond the Japanese codes: text recognised as Unicode before they are told apart.
  Utf8 = 7,
  Utf16 = 8,
};

// Pure; reads only inside text; never fails.
KanjiCode DetectKanjiCode(std::string_view text) noexcept;

// The same detection over a text that arrives in blocks of any sizes: Finish() gives exactly
// what DetectKanjiCode gives for the blocks joined. Between blocks it holds only the bytes that a
// rule still has to look at again: at most the first 513 bytes of the text, later at most two.
class TKanjiCodeDetector {
 public:
  void Feed(std::string_view block);
  KanjiCode Finish();
  // No further bytes can change the result: the caller may stop reading and call Finish().
  bool Decided() const noexcept;

 private:
  friend KanjiCode DetectKanjiCode(std::string_view text) noexcept;
  // Runs the rules over window (the text from absolute position base on, up to the bytes read
  // so far) as far as they can go without the bytes still to come; returns where to keep from.
  std::size_t Run(std::string_view window, std::size_t base, bool end) noexcept;

  std::string carry_;        // the text from absolute position carry_base_ on, not yet done
  std::size_t carry_base_ = 0;
  std::size_t screened_ = 0;  // bytes screened for control bytes
  bool screen_done_ = false;
  std::size_t pos_ = 0;       // the walk's next byte
  bool in_run_ = false;       // inside a run of double bytes, at pos_
  bool stopped_ = false;      // a look-ahead ran off the end of the text
  KanjiCode result_ = Ascii;
};

// UTF-8 or UTF-16 when DetectTextForm recognises it (complete: see there), else DetectKanjiCode.
int DetectTextCode(std::string_view text, bool complete = true) noexcept;

// The display name as UTF-8 ("ASCII", "ﾊﾞｲﾅﾘ", "JIS83", "JIS78", "EUC", "ｼﾌﾄJIS", "EUC+ｼﾌﾄJIS",
// "UTF-8", "UTF-16"); empty for a value outside 0..8.
std::string_view KanjiCodeNameUtf8(int code) noexcept;

}  // namespace sorabu::textconv
