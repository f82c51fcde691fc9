// Conversion of one line between JIS (7-bit, ISO-2022-JP style), EUC-JP and Shift-JIS.
//
// A line is a byte string without its line end; it may contain LF bytes. Every line starts in
// single-byte mode and no state is carried from one line to the next, so a file is converted by
// calling these once per line, or once on a whole text whose newlines need no special care
// (Shift-JIS <-> EUC-JP keep CR and LF as they are).
//
// Each converter has two forms: one appends to a caller's string (the streaming callers reuse
// that string line after line, so nothing is allocated per line once it has grown; the line
// must not be a view into that string), and one returns a new string. None of them fails or
// reads outside the line: a pair cut off by the end of the line, or an escape sequence cut off
// by it, ends the conversion with what came before. Bytes that are not valid in the source
// code are converted by the same arithmetic as valid ones; the result is then unspecified but
// stays inside the output. Shift-JIS pairs beyond row 94 (lead bytes 0xF0..0xFC) are written
// as the same character within the rows where code page 932 has one (the IBM extensions),
// else as 〓.
#pragma once

#include <string>
#include <string_view>

#include "textconv/kanji_code.h"

namespace sorabu::textconv {

// ESC $ <any> enters two-byte mode, ESC ( <any> leaves it, other ESC x y are dropped. In
// two-byte mode an ESC is recognised only where a pair would begin. Several escape sequences
// in a row are all recognised.
void JisToShiftJis(std::string_view line, std::string& out);
std::string JisToShiftJis(std::string_view line);
// Same walk as JisToShiftJis, byte by byte: 0x21..0x7E in two-byte mode get bit 7 set.
void JisToEuc(std::string_view line, std::string& out);
std::string JisToEuc(std::string_view line);

// 0x8E k is the half-width katakana k; every other byte 0x81..0xFE leads a pair. The byte 0x8F
// is no JIS X 0212 prefix here: it leads a pair like the others.
void EucToShiftJis(std::string_view line, std::string& out);
std::string EucToShiftJis(std::string_view line);
// 0xA1..0xDF become 0x8E and the byte; other bytes from 0x80 up lead a pair.
void ShiftJisToEuc(std::string_view line, std::string& out);
std::string ShiftJisToEuc(std::string_view line);

// ESC $ B before the first byte of a two-byte run, ESC ( J after it: before any byte below
// 0x80 (CR and LF included) and at the end of the line, so that every decoder leaves two-byte
// mode at the line end. Half-width katakana become their full-width JIS codes, with a
// following voiced or semi-voiced mark joined where the pair has a full-width character.
void ShiftJisToJis(std::string_view line, std::string& out);
std::string ShiftJisToJis(std::string_view line);
void EucToJis(std::string_view line, std::string& out);
std::string EucToJis(std::string_view line);

// Brings a line to target (Jis83 = 2, Euc = 4, ShiftJis = 5) after classifying it by itself
// with DetectKanjiCode. Lines that are ASCII, binary, ambiguous, already in the target code,
// JIS78 when JIS is asked for, or when target is any other value are appended unchanged.
void ConvertKanjiCode(std::string_view line, int target, std::string& out);
std::string ConvertKanjiCode(std::string_view line, int target);

}  // namespace sorabu::textconv
