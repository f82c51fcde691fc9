// TGrep: reports every line of a file that holds a match.
//
// Grep compiles "^" and "$" to LF, the character the reader puts before and after every line, so
// an anchor is an ordinary transition and a pattern such as "^abc" or "abc$" is still one fixed
// string (LF a b c, a b c LF). SetRegExp picks the scan:
//  - fixed string: memchr finds the next place of the literal's rarest byte, memcmp the literal
//    around it, and its codes are then compared through the look-ahead cursor from a character
//    start;
//  - automaton: from every character that can start a match (its first byte is one the initial
//    state has a transition on; memchr finds them when they are few and rare) the DFA runs until
//    it has no transition; reaching an accepting state reports the line. The walk reads the
//    bytes already in the reader's window and goes through the look-ahead cursor only at the
//    window's end. Long walks that die leave dead ends, so one long line costs linear time.
//    When the walks still cost more than LockstepAfter steps plus eight per byte passed, the
//    lockstep scan (TLockstepScan) finds the next start that succeeds in one pass over the
//    bytes, and that start's line is reported; the scan then goes on as before.
// A match needs at least one character (the initial state's own acceptance is never consulted),
// so a pattern that matches only the empty string reports nothing. A reported line moves the scan
// to that line's end, so every line is reported at most once. Boundaries are those of characters:
// 求 (8B 81) is not found inside ル、 (83 8B 81 41).
//
// GrepFile clears Cancel, then raises EGrepCancel when Cancel is seen (after a block, before a
// line is reported) and EFileNotFound when the file cannot be opened or read; an empty file
// yields nothing. ProcessMessages, when set, is called where the window lets its loop run.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "regex/lockstep_scan.h"
#include "regex/regular_expression.h"
#include "regex/txt_file.h"

namespace sorabu::regex {

class TGrep;
using TGrepOnMatch = std::function<void(TGrep& sender, const RE_LineInfo_t& info)>;

class TGrep : public TRegularExpression {
 public:
  // Registers the built-in fuzzy-character dictionary.
  TGrep();

  void SetRegExp(std::string_view pattern) override;
  void GrepFile(const std::string& path);
  // The same for one stretch of a Shift-JIS file (see TTxtPiece); line numbers count from the
  // piece's start. Returns the piece's line ends.
  std::uint64_t GrepPiece(const std::string& path, const TTxtPiece& piece);
  // No match of the current pattern runs on past a line end (its LF may end a match but never
  // leads on), so a file's pieces can be searched apart and give the lines the whole gives.
  bool SearchesLineByLine() const;

  TGrepOnMatch OnMatch;
  bool Cancel = false;
  // Walk steps tolerated before the lockstep scan takes over (0: at once).
  std::size_t LockstepAfter = 4096;
  // A binary file (see TTxtFile) raises EBinaryFile instead of being searched.
  bool SkipBinary = false;
  std::function<void()> ProcessMessages;

  bool uses_fixed_scan() const noexcept { return plan_.fixed; }

  // A searcher of the current pattern for another thread: it shares the compiled automaton and
  // compiles nothing. Its own RegExp() is the empty pattern; setting one replaces the shared scan.
  std::unique_ptr<TGrep> Twin() const;

 private:
  static constexpr std::size_t kMemchrBytes = 4;

  // What a scan needs, chosen by SetRegExp.
  struct ScanPlan {
    std::shared_ptr<const TRE_DFA> dfa;
    bool fixed = false;
    TTxtByteSet first_bytes;
    std::vector<unsigned char> few_first_bytes;  // the first bytes when there are few of them
  };

  std::uint64_t Scan(const std::string& path, const TTxtPiece* piece);
  void AutomatonScan(TTxtFile& file, const ScanPlan& plan);
  void LockstepScan(TTxtFile& file, TLockstepScan& scan);
  void FixedScan(TTxtFile& file, const ScanPlan& plan);
  void Report(TTxtFile& file);
  void ChooseScan();

  ScanPlan plan_;
};

}  // namespace sorabu::regex
