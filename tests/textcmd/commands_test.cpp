// Every file-rewriting command on small files, through the same entry point as the window and
// the command-line tool. Rows are UTF-8 and become Shift-JIS before the run.
#include <vector>

#include "command_fixture.h"

namespace sorabu::textcmd::test {
namespace {

struct Row {
  const char* handler;
  std::vector<std::string> answers;
  const char* input;
  const char* expected;
};

class CommandRows : public CommandTest {
 protected:
  void Check(const std::vector<Row>& rows) {
    for (const Row& row : rows) {
      const std::string path = Path("a.txt");
      std::filesystem::remove(path);
      Write(path, Sjis(row.input));
      dialogs_ = dialogs::TScriptedDialogs();
      auto answers = row.answers;
      Outcome outcome;
      {
        dialogs::TScriptedDialogs d;
        for (const auto& a : answers) d.Answer(Sjis(a.c_str()));
        TCommandContext context(d);
        context.lfLines = lfLines_;
        context.sortKey = FoldedKey;
        context.trash = Trash();
        context.infoLine = [](const std::string&) { return std::string("INFO"); };
        outcome = RunCommand(row.handler, path, context).value_or(Outcome::Failed);
        EXPECT_EQ(d.PendingAnswers(), 0u) << row.handler << " " << row.input;
      }
      EXPECT_EQ(outcome, Outcome::Done) << row.handler << " " << row.input;
      EXPECT_EQ(textconv::Cp932ToUtf8(Read(path)), row.expected) << row.handler << " on " << row.input;
    }
  }
};

TEST_F(CommandRows, LineCommands) {
  Check({
      {"MLineSortU1Click", {}, "b\r\nA\r\nc\r\n", "A\r\nb\r\nc\r\n"},
      {"MLineSortD1Click", {}, "b\r\nA\r\nc\r\n", "c\r\nb\r\nA\r\n"},
      {"MLineSortU1Click", {}, "b\nc\na", "a\r\nb\r\nc\r\n"},  // the list model splits at LF
      {"MlinenoaddLeft1Click", {}, "a\r\n\r\nb", "1 a\r\n2 \r\n3 b\r\n"},
      {"MlinenoaddLeftc1Click", {}, "a\r\nb\r\n", "1,a\r\n2,b\r\n"},
      {"MlinenoaddRight1Click", {}, "\r\n", " 1\r\n"},
      {"MlinenoaddRightc1Click", {}, "a\r\nb\r\n", "a,1\r\nb,2\r\n"},
      {"Mrenban1Click", {"No.000", "8"}, "a\r\nb\r\nc\r\n", "No.008 a\r\nNo.009 b\r\nNo.010 c\r\n"},
      {"Mrenban1Click", {"X", "1"}, "a\r\nb\r\nc\r\n", "X1 a\r\nX2 b\r\nX3 c\r\n"},
      {"Mrenban1Click", {"0", "-2"}, "a\r\nb\r\n", "-2 a\r\n-1 b\r\n"},
      {"Mreverse1Click", {}, "ab漢\r\n", "漢ba\r\n"},
      {"Mreverse1Click", {}, "ソ表\r\n", "表ソ\r\n"},  // trail bytes 0x5C and 0x83 stay with their lead
      {"MinsertCR1Click", {"3"}, "abcdefg\r\nabc\r\n\r\n", "abc\r\ndef\r\ng\r\nabc\r\n\r\n"},
      {"MinsertCR1Click", {"3"}, "ab漢字\r\n", "ab\r\n漢\r\n字\r\n"},
      {"MinsertCR1Click", {"1"}, "漢a字\r\n", "漢\r\na\r\n字\r\n"},  // b = 1 cuts the whole character
      {"MinsertCR1Click", {"x"}, "abc\r\n", "a\r\nb\r\nc\r\n"},    // not a number: column 1
      {"MinsertChr1Click", {"-", "2"}, "abcde\r\n", "ab-\r\ncd-\r\ne\r\n"},
      {"MinsertChar1Click", {"-", "3"}, "abcd\r\nabc\r\n", "ab-cd\r\nabc\r\n"},
      {"MinsertChar1Click", {"-", "3"}, "a漢字\r\n", "a-漢字\r\n"},  // column 2 starts 漢
      {"Mcolumncopy1Click", {"2", "3"}, "abcdef\r\nab\r\na\r\n", "bcd\r\nb\r\n\r\n"},
      {"Mcolumncopy1Click", {"2", "2"}, "a漢字\r\n", "漢\r\n"},
      {"Mcolumncopy1Click", {"1", "2"}, "a漢字\r\n", "\r\n"},  // both adjustments shrink n to 0
      {"Mcolumndelete1Click", {"2", "3"}, "abcdef\r\na\r\n", "aef\r\na\r\n"},
      {"Mcolumndelete1Click", {"2", "2"}, "a漢字\r\n", "a字\r\n"},
      {"Mcolumndelete1Click", {"1", "2"}, "a漢字\r\n", "a漢字\r\n"},  // the start moves before column 1
  });
}

TEST_F(CommandRows, CleanupCommands) {
  Check({
      {"MtrimL1Click", {}, " 　a\r\n", "a\r\n"},
      {"MtrimL1Click", {}, "　 a\r\n", " a\r\n"},
      {"MtrimR1Click", {}, "a\t \r\n", "a\r\n"},
      {"MtrimR1Click", {}, "a \t\r\n", "a \t\r\n"},
      {"MtrimR1Click", {}, "a 　 　\r\n", "a\r\n"},
      {"Mall1bytetrim1Click", {}, " a b　\r\n", "ab　\r\n"},
      {"Mall2bytetrim1Click", {}, "a　b　\r\n", "ab\r\n"},
      {"Malltabdelete1Click", {}, "\ta\tb\r\n", "ab\r\n"},
      {"Mtoptabdelete1Click", {}, "\t\ta\tb\r\n", "a\tb\r\n"},
      {"Mtabtospace1Click", {}, "a\tb\r\n", "a b\r\n"},
      {"Mtabtocomma1Click", {}, "a\tb\r\n", "a,b\r\n"},
      {"Mtabtounderscore1Click", {}, "a\tb\r\n", "a_b\r\n"},
      {"M2byteto1bytenull1Click", {}, "　\r\n", "  \r\n"},
      {"McrdelClick", {}, "a\r\nb\r\nc\r\n", "abc\r\n"},
      {"McrdelClick", {}, "", "\r\n"},
      {"McrdelClick", {}, "a\nb\r\nc", "a\nbc\r\n"},
      {"Mtrim1Click", {}, "a\r\n\r\n \r\nb\nc\r\n", "a\r\n \r\nbc\r\n"},
      {"Msameline1Click", {}, "x\r\nx\r\ny\r\nx\r\n", "x\r\ny\r\nx\r\n"},
      {"Msameline1Click", {}, "x\nx\n", "x\nx\n\r\n"},  // an LF-only file is one line
      {"MopacdeleteClick", {"3"}, "ab1\r\nab2\r\nac3\r\n", "ab1\r\nac3\r\n"},
      {"MopacdeleteClick", {"1"}, "ab1\r\nxy2\r\n", "ab1\r\n"},
  });
}

// A blank or a TAB right after a lead byte is that character's second byte; removing or
// replacing it would break the character and the full-width blank after it.
TEST_F(CommandTest, SingleByteCleanupNeverTouchesASecondByte) {
  const std::string broken_blank = "\x81\x20\x81\x40";
  const std::string broken_tab = "\x81\x09\x41";
  EXPECT_EQ(Transform("Mall1bytetrim1Click", broken_blank + " x\r\n"), broken_blank + "x\r\n");
  EXPECT_EQ(Transform("Malltabdelete1Click", broken_tab + "\t\r\n"), broken_tab + "\r\n");
  EXPECT_EQ(Transform("Mtabtospace1Click", broken_tab + "\t\r\n", {}), broken_tab + " \r\n");
  EXPECT_EQ(Transform("Mtabtocomma1Click", broken_tab + "\t\r\n", {}), broken_tab + ",\r\n");
  EXPECT_EQ(Transform("Mtabtounderscore1Click", broken_tab + "\t\r\n", {}), broken_tab + "_\r\n");
  EXPECT_EQ(Transform("Mall2bytetrim1Click", broken_blank + "\r\n"), "\x81\x20\r\n");
}

TEST_F(CommandRows, HtmlAndCsv) {
  Check({
      {"MhtmlClick", {}, "a&lt;b&gt;\r\n", "a＜b＞\r\n"},
      {"MhtmlClick", {}, "&AMP;\r\n", "&AMP;\r\n"},
      {"MhtmlClick", {}, "&amp;&AMP;\r\n", "&&\r\n"},
      {"MhtmlClick", {}, "x<BR>y\r\nz</P>\r\n", "x\r\nyz\r\n"},
      {"MhtmlClick", {}, "a<b>c</b>\r\nd\r\n", "acd\r\n"},
      {"MhtmlClick", {}, "<UL><LI>one<LI>two</UL><BR>\r\n", "\r\n・one\r\n・two\r\n"},
      {"MhtmlClick", {}, "a<HR>b<br/>c\r\n", "a\r\n------------------------------------------------------------\r\nbc\r\n"},
      {"MhtmlClick", {}, "a<!-- x\r\ny -->b<P>\r\n", "ab\r\n"},
      {"MhtmlClick", {}, "<PRE>\r\nl1\r\nl2\r\n</PRE>x\r\n", "\r\nl1\r\nl2\r\nx\r\n"},
      {"MhtmlClick", {}, "a>b<P>\r\n", "b\r\n"},
      {"htmlTABA1Click", {}, "\t 　abc<P><P>\r\n", "abc\r\n"},
      {"html2Click", {}, "\t abc<P><P>\r\n", " abc\r\n"},
      {"htmlTAB1Click", {}, "\t abc<P><P>\r\n", "\t abc\r\n"},
      {"MlineCSVaClick", {"2"}, "a\r\nb\r\nc\r\n", "\"a\",\"b\"\r\n\"c\"\r\n"},
      {"MlineCSVbClick", {"2"}, "a\r\nb\r\n", "'a','b'\r\n"},
      {"MlineCSVcClick", {"3"}, "\r\nb\r\nc\r\n", "b,c\r\n"},
      {"MlineCSVdClick", {"-2"}, "a\nb\nc\n", "a\tb\r\nc\r\n"},
      {"MlineCSVfClick", {"5"}, "a\r\nb\r\n", "a b\r\n"},
      {"MlineCSVeClick", {"2"}, "a\r\nb\r\n", "ab\r\n"},
      {"MlineCSVhClick", {"2C", "2"}, "a\r\nb\r\n", "a,b\r\n"},
      {"MlineCSVgClick", {"；", "2"}, "a\r\nb\r\n", "a；b\r\n"},
  });
}

// Text that never meets a line-ending tag piles up in one piece; each new line must not search
// the whole pile again, or a large file would take hours.
TEST_F(CommandTest, HtmlWithoutLineEndingTagsStaysLinear) {
  std::string html;
  std::string expected;
  for (int i = 0; i < 100000; ++i) {
    html += "word <b>" + std::to_string(i) + "</b>\r\n";
    expected += "word " + std::to_string(i);
  }
  EXPECT_TRUE(Transform("MhtmlClick", html) == expected + "\r\n");
}

TEST_F(CommandRows, HexDumps) {
  const std::string header =
      "INFO\r\n\r\n00000000 : 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F\r\n"
      "-------- : -- -- -- -- -- -- -- -- -- -- -- -- -- -- -- --\r\n";
  const std::string full = "00000001 : 30 31 32 33 34 35 36 37 38 39 61 62 63 64 65 66 \r\n";
  const std::string row2 = header + full + "00000002 : 0A \r\n";
  const std::string empty = header + "00000001 : \r\n";
  const std::string only = header + full;
  Check({
      {"Mdump1Click", {}, "", empty.c_str()},
      {"Mdump1Click", {}, "0123456789abcdef", only.c_str()},
      {"Mdump1Click", {}, "0123456789abcdef\n", row2.c_str()},
      {"Mdump1bClick", {}, "AB\r\n\r\n", "AB\r\n44\r\n12\r\n\r\n\r\n\r\n"},
  });
  // Row 10 is labelled in hex.
  const std::string path = Path("b.txt");
  Write(path, std::string(160, 'x'));
  ASSERT_EQ(Run("Mdump1Click", path), Outcome::Done);
  EXPECT_NE(Read(path).find("\r\n0000000A : 78 "), std::string::npos);
  // A double-byte character gives a digit column per byte.
  EXPECT_EQ(Transform("Mdump1bClick", Sjis("漢")), Sjis("漢") + "\r\n8B\r\nAF\r\n");
}

TEST_F(CommandRows, ConversionsAndNewlines) {
  Check({
      {"Mcrauto1Click", {}, "a\nb\n", "a\r\nb\r\n"},
      {"Mcrauto1Click", {}, "a\rb\r", "a\r\nb\r\n"},
      {"Mcrauto1Click", {}, "a\r\nb", "a\r\nb\r\n"},
      {"MCRtoCRLF1Click", {}, "a\rb\r\nc\n", "a\r\nb\r\nc\n"},
      {"MLFtoCRLF1Click", {}, "a\rb\r\nc\n", "a\rb\r\nc\r\n"},
      {"MCRLFtoCR1Click", {}, "a\rb\r\nc\n", "a\rb\rc\n"},
      {"MLFtoCR1Click", {}, "a\nb", "a\rb"},
      {"MCRLFtoLF1Click", {}, "a\r\nb\r\n", "a\nb\n"},
      {"MCRtoLF1Click", {}, "a\r\r\n", "a\n\r\n"},
      {"Mhanktozen1Click", {}, "aｶﾞ1\r\n", "ａガ１\r\n"},
      {"Mzentohank1Click", {}, "ａ１\r\n", "a1\r\n"},
      {"Mhkanatozkana1Click", {}, "ｱa\r\n", "アa\r\n"},
      {"Mbase641Click", {}, "abc\r\n\r\nab\r\n", "YWJj\r\n\r\nYWI=\r\n"},
      {"Mbase64D1Click", {}, "YWJj\r\n\r\nYWI=\r\n", "abc\r\n\r\nab\r\n"},
  });
}

TEST_F(CommandTest, KanjiConversionsAgreeWithEachOther) {
  const std::string sjis = Sjis("漢字かなカナ abc\r\n二行目 ①\r\n\r\n") ;
  const std::string path = Path("k.txt");
  Write(path, sjis);
  ASSERT_EQ(Run("Msjistojis1Click", path), Outcome::Done);
  const std::string jis = Read(path);
  EXPECT_NE(jis.find("\x1b$B"), std::string::npos);
  EXPECT_EQ(Read(Path("k.org")), sjis);  // the working copy is always kept
  ASSERT_EQ(Run("Mjistoeuc1Click", path, {}, false), Outcome::Done);
  EXPECT_TRUE(std::filesystem::exists(Path("k.org")));  // even with the backup option off
  ASSERT_EQ(Run("Meuctojis1Click", path), Outcome::Done);
  EXPECT_EQ(Read(path), jis);
  ASSERT_EQ(Run("MjistosjisClick", path), Outcome::Done);
  EXPECT_EQ(Read(path), sjis);
  ASSERT_EQ(Run("Msjistoeuc1Click", path), Outcome::Done);
  ASSERT_EQ(Run("MeuctosjisClick", path), Outcome::Done);
  EXPECT_EQ(Read(path), sjis);
  ASSERT_EQ(Run("Msjistoeuc1Click", path), Outcome::Done);
  ASSERT_EQ(Run("Mtojis1Click", path, {}, false), Outcome::Done);
  EXPECT_EQ(Read(path), sjis);
  EXPECT_FALSE(std::filesystem::exists(Path("k.org")));  // the automatic conversion deletes it
}

// Encoded lines are written as several sub-lines; decoding joins them again, so the round trip
// gives the file back for lines of every length around the sub-line sizes.
TEST_F(CommandTest, TransferEncodingsRoundTrip) {
  std::string text;
  for (int n : {1, 2, 3, 44, 45, 46, 47, 48, 49, 90, 91, 200, 1000}) {
    for (int i = 0; i < n; ++i) text.push_back(static_cast<char>('!' + (i * 7 + n) % 90));
    text += "\r\n";
    if (n == 45) text += "\r\n";  // an empty line between encoded lines
  }
  text += Sjis("漢字の行\r\n");
  const std::pair<const char*, const char*> pairs[] = {
      {"Mbase641Click", "Mbase64D1Click"},
      {"Municode1Click", "MUnicodeD1Click"},
      {"Mbinhex1Click", "MBinHexD1Click"},
  };
  for (const auto& [encode, decode] : pairs) {
    const std::string path = Path("e.txt");
    Write(path, text);
    ASSERT_EQ(Run(encode, path), Outcome::Done);
    EXPECT_NE(Read(path), text) << encode;
    ASSERT_EQ(Run(decode, path), Outcome::Done);
    EXPECT_EQ(Read(path), text) << encode << " then " << decode;
  }
}

}  // namespace
}  // namespace sorabu::textcmd::test
