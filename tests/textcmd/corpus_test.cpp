// Whole-corpus round trips through the commands, and the same conversions by nkf, byte for
// byte. The corpus (bench/make-corpus.sh) holds only characters every code can carry; the test
// is skipped when it has not been built.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "command_fixture.h"
#include "textconv/kanji_code.h"
#include "textconv/unicode_text.h"

namespace sorabu::textcmd::test {
namespace {

std::string CorpusFile(const char* name) {
  const char* home = std::getenv("HOME");
  return std::string(home ? home : "") + "/.cache/sorabu-corpus/" + name;
}

class CorpusTest : public CommandTest {
 protected:
  void SetUp() override {
    CommandTest::SetUp();
    crlf_ = Read(CorpusFile("sjis-crlf-1m.txt"));
    lf_ = Read(CorpusFile("sjis-lf-1m.txt"));
    if (crlf_.empty() || lf_.empty()) GTEST_SKIP() << "corpus not built (bench/make-corpus.sh)";
  }

  // Runs the commands in turn on a copy of text and returns the final bytes.
  std::string Through(const std::string& text, std::initializer_list<const char*> handlers) {
    const std::string path = Path("corpus.txt");
    Write(path, text);
    for (const char* handler : handlers) EXPECT_EQ(Run(handler, path), Outcome::Done) << handler;
    return Read(path);
  }

  // nkf with options on a copy of text inside the temporary folder; empty when nkf is missing.
  std::string Nkf(const std::string& options, const std::string& text) {
    const std::string in = Path("nkf-in.txt");
    const std::string out = Path("nkf-out.txt");
    Write(in, text);
    const std::string command = "nkf " + options + " < '" + in + "' > '" + out + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0) return {};
    return Read(out);
  }

  std::string crlf_;
  std::string lf_;
};

TEST_F(CorpusTest, RoundTripsGiveTheOriginalBytes) {
  EXPECT_TRUE(Through(crlf_, {"Msjistojis1Click", "MjistosjisClick"}) == crlf_);
  EXPECT_TRUE(Through(crlf_, {"Msjistoeuc1Click", "MeuctosjisClick"}) == crlf_);
  EXPECT_TRUE(Through(crlf_, {"Msjistojis1Click", "Mjistoeuc1Click", "Meuctojis1Click", "MjistosjisClick"}) == crlf_);
  EXPECT_TRUE(Through(crlf_, {"Msjistojis1Click", "Mtojis1Click"}) == crlf_);  // JIS lines are never ambiguous
  // The LF file is one streaming line; it comes back with one CR LF at its end.
  EXPECT_TRUE(Through(lf_, {"Msjistojis1Click", "MjistosjisClick"}) == lf_ + "\r\n");
  EXPECT_TRUE(Through(crlf_, {"Mbase641Click", "Mbase64D1Click"}) == crlf_);
  EXPECT_TRUE(Through(crlf_, {"Municode1Click", "MUnicodeD1Click"}) == crlf_);
  EXPECT_TRUE(Through(crlf_, {"Mbinhex1Click", "MBinHexD1Click"}) == crlf_);
  EXPECT_TRUE(Through(crlf_, {"MCRLFtoLF1Click", "MLFtoCRLF1Click"}) == crlf_);
  EXPECT_TRUE(Through(lf_, {"Mcrauto1Click"}) == crlf_);
}

// nkf -x keeps half-width katakana and converts the same characters; the corpus holds only
// ASCII and JIS X 0208, where the two agree except that our JIS lines close with ESC ( J and
// nkf's with ESC ( B, so the JIS output is compared after nkf reads it back.
TEST_F(CorpusTest, AgreesWithNkf) {
  const std::string nkfEuc = Nkf("-x -S -e", crlf_);
  if (nkfEuc.empty()) GTEST_SKIP() << "nkf not installed";
  EXPECT_TRUE(Through(crlf_, {"Msjistoeuc1Click"}) == nkfEuc);
  EXPECT_TRUE(Through(nkfEuc, {"MeuctosjisClick"}) == Nkf("-x -E -s", nkfEuc));
  const std::string jis = Through(crlf_, {"Msjistojis1Click"});
  EXPECT_TRUE(Nkf("-x -J -s", jis) == crlf_);
  EXPECT_TRUE(Through(Nkf("-x -S -j", crlf_), {"MjistosjisClick"}) == crlf_);
}

// UTF-8 beside the Japanese codes: Shift-JIS goes to UTF-8 and back unchanged, EUC-JP and JIS reach
// the same UTF-8, and every copy of the corpus is told for what it is, whole and block by block.
TEST_F(CorpusTest, Utf8RoundTripsAndDetectionTable) {
  const std::string utf8 = Read(CorpusFile("utf8-1m.txt"));
  const std::string euc = Read(CorpusFile("euc-1m.txt"));
  const std::string jis = Read(CorpusFile("jis-1m.txt"));
  if (utf8.empty() || euc.empty() || jis.empty()) GTEST_SKIP() << "corpus not built (bench/make-corpus.sh)";
  EXPECT_TRUE(Through(crlf_, {"Msjistoutf81Click", "Mutf8tosjis1Click"}) == crlf_);
  // (The corpus's own UTF-8 copy spells 0x5C as the yen sign; code page 932 reads it as "\".)
  const std::string fromSjis = Through(lf_, {"Msjistoutf81Click"});
  EXPECT_TRUE(Through(euc, {"Meuctoutf81Click"}) == fromSjis);
  EXPECT_TRUE(Through(jis, {"Mjistoutf81Click"}) == fromSjis);

  const struct {
    const char* name;
    const std::string& text;
    int code;
  } copies[] = {{"sjis-crlf", crlf_, textconv::ShiftJis}, {"sjis-lf", lf_, textconv::ShiftJis},
                {"euc", euc, textconv::Euc},                {"jis", jis, -1},
                {"utf8", utf8, textconv::Utf8}};
  for (const auto& c : copies) {
    const int code = textconv::DetectTextCode(c.text);
    if (c.code >= 0) EXPECT_EQ(code, c.code) << c.name;
    else EXPECT_TRUE(code == textconv::Jis83 || code == textconv::Jis78) << c.name << " " << code;
    std::size_t wrong = 0, blocks = 0;
    for (std::size_t at = 0; at < c.text.size(); at += 4096, ++blocks) {
      std::string_view block = std::string_view(c.text).substr(at, 4096);
      // A block of UTF-8 starts at a character, as a read from a line's start does.
      if (c.code == textconv::Utf8)
        while (!block.empty() && (static_cast<unsigned char>(block[0]) & 0xC0) == 0x80) block.remove_prefix(1);
      const bool asUtf8 = textconv::DetectTextForm(block, false) == textconv::TextForm::Utf8;
      const bool ascii = std::none_of(block.begin(), block.end(), [](char b) { return static_cast<unsigned char>(b) >= 0x80; });
      if (!ascii && asUtf8 != (c.code == textconv::Utf8)) ++wrong;
    }
    EXPECT_EQ(wrong, 0u) << c.name << ": " << wrong << " of " << blocks << " blocks taken for the other form";
  }
}

}  // namespace
}  // namespace sorabu::textcmd::test
