// TeX to text, line by line.
#include <gtest/gtest.h>

#include <string>

#include "textcmd/tex_to_text.h"
#include "textconv/cp932.h"
#include "tests/support/sjis_text.h"

namespace sorabu::textcmd {
namespace {

using test_support::S;

TEST(TexToTextTest, Table) {
  struct Row {
    std::string line;  // UTF-8
    std::string text;
  };
  const Row rows[] = {
      {"\\documentclass[a4paper]{jarticle}", ""},
      {"\\documentstyle{jarticle} 本文", " 本文"},
      {"\\usepackage[dvips]{graphicx}", ""},
      {"\\pagestyle{empty}", ""},
      {"\\section{はじめに}", "{はじめに}"},
      {"\\textbf{}", ""},
      {"\\TeXは便利", ""},
      {"本文 % コメント", "本文 "},
      {"\\begin{itemize}", ""},
      {"\\begin{tabular}[t]{ll}", ""},
      {"\\end{itemize} text}", ""},
      {"\\end{itemize} text", " text"},
      {"\\vspace{1cm}後", "後"},
      {"\\hspace{1em}", ""},
      {"\\parbox[t]{5cm}{箱}", ""},
      {"50\\% off", "50\\"},
      {"\\item 項目", " 項目"},
      {"\\@startsection", ""},
      {"a[]b{}c", "abc"},
      {"飛行機", "飛行機"},
      {"", ""},
      {"普通の行です。", "普通の行です。"},
      // ＋ (81 7B) ends in "{": with "}" after it, the pair is not an empty group.
      {"＋}", "＋}"},
  };
  const TTexToText tex;
  for (const Row& row : rows) EXPECT_EQ(tex.Line(S(row.line)), S(row.text)) << row.line;
}

TEST(TexToTextTest, KanjiRangeEndsAtTheLastLevelTwoKanji) {
  const TTexToText tex;
  // 熙 (EA A4) is the last code of the class; the NEC row 13 sign ① (87 40) lies between ω and
  // 亜 and stops the control word.
  EXPECT_EQ(tex.Line(S("\\熙x")), "");
  EXPECT_EQ(tex.Line(S("\\a①")), S("①"));
}

}  // namespace
}  // namespace sorabu::textcmd
