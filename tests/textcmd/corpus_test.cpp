// Whole-corpus round trips through the commands, and the same conversions by nkf, byte for
// byte. The corpus (bench/make-corpus.sh) holds only characters every code can carry; the test
// is skipped when it has not been built.
#include <cstdio>
#include <cstdlib>

#include "command_fixture.h"

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

}  // namespace
}  // namespace sorabu::textcmd::test
