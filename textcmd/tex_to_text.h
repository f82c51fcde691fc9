// TeX to text: strips LaTeX markup from a line, leaving the running text.
//
// Nine deletions run in order, each removing every leftmost-longest match of its pattern:
// \documentclass / \documentstyle with options and first argument, \usepackage likewise,
// \pagestyle{…}, \begin with its arguments, \end{…}, \vspace / \hspace{…}, \parbox[…]{…}, every
// remaining control word (a backslash and letters, "@", or the double-byte codes from ０ to ω and
// from 亜 to 熙, so kana and kanji written right after a control word go with it), and a comment
// from "%" to the line's end. Empty "{}" and "[]" left behind are removed last, on character
// starts, so a brace that is the second byte of a double-byte character stays. The greedy ".*"
// inside braces is the rule: "\end{itemize} text}" loses everything up to the last "}".
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "regex/awk_str.h"

namespace sorabu::textcmd {

class TTexToText {
 public:
  // Compiles the nine patterns once.
  TTexToText();
  std::string Line(std::string_view line) const;

 private:
  std::vector<std::unique_ptr<regex::TAWKStr>> deletions_;
};

}  // namespace sorabu::textcmd
