// The code converters against nkf, an independent converter, on real Japanese text: the
// manual pages of Debian's manpages-ja, turned into Shift-JIS with iconv when the test runs.
//
// nkf and these converters agree byte for byte by design on Shift-JIS <-> EUC-JP (nkf -x keeps
// half-width katakana as they are, as we do). For JIS the one known difference is the sequence
// that leaves two-byte mode: nkf writes ESC ( B (ASCII), we write ESC ( J (JIS Roman), at the
// same places; the comparison maps ours to nkf's before comparing. nkf also reads our JIS back
// to the original Shift-JIS, which is what a mail reader or editor would do with our files.
// Without nkf, iconv or the pages the tests are skipped.
#include <gtest/gtest.h>

#include <string>

#include "conv_test_util.h"
#include "textconv/jis_euc_sjis.h"
#include "textconv/mail_header.h"
#include "textconv/width.h"

namespace sorabu::textconv {
namespace {

using testutil::kLeaveJisAscii;
using testutil::kLeaveJisRoman;
using testutil::Quote;
using testutil::ReadFile;
using testutil::Shell;
using testutil::TempDir;
using testutil::WriteFile;

std::string ReplaceAll(std::string s, const std::string& from, const std::string& to) {
  for (std::size_t pos = s.find(from); pos != std::string::npos; pos = s.find(from, pos + to.size())) {
    s.replace(pos, from.size(), to);
  }
  return s;
}

// Index of the first differing byte, for a readable failure on a 10 MB text.
std::string FirstDifference(const std::string& a, const std::string& b) {
  std::size_t i = 0;
  while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
  if (i == a.size() && i == b.size()) return "equal";
  const std::size_t from = i < 16 ? 0 : i - 16;
  return "sizes " + std::to_string(a.size()) + "/" + std::to_string(b.size()) + ", first difference at " +
         std::to_string(i) + ": " + testutil::Hex(a.substr(from, 40)) + " vs " + testutil::Hex(b.substr(from, 40));
}

class NkfPeer : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!testutil::HaveTool("nkf") || !testutil::HaveTool("iconv") ||
        Shell("ls /usr/share/man/ja/man1/*.gz >/dev/null 2>&1") != 0) {
      return;
    }
    dir_ = new TempDir;
    const auto sjis = dir_->path() / "pages.sjis";
    Shell("find /usr/share/man/ja -name '*.gz' | sort | xargs zcat 2>/dev/null | iconv -f UTF-8 -t CP932 -c > " +
        Quote(sjis));
    corpus_ = new std::string(ReadFile(sjis));
  }
  static void TearDownTestSuite() {
    delete corpus_;
    corpus_ = nullptr;
    delete dir_;
    dir_ = nullptr;
  }
  void SetUp() override {
    if (corpus_ == nullptr || corpus_->size() < 100000) GTEST_SKIP() << "nkf, iconv or manpages-ja missing";
  }

  // nkf with the given options on bytes; the output as bytes.
  static std::string Nkf(const std::string& options, const std::string& input) {
    const auto in = dir_->path() / "nkf.in";
    const auto out = dir_->path() / "nkf.out";
    WriteFile(in, input);
    EXPECT_EQ(Shell("nkf " + options + " < " + Quote(in) + " > " + Quote(out)), 0);
    return ReadFile(out);
  }

  static const std::string& Corpus() { return *corpus_; }

  static TempDir* dir_;
  static std::string* corpus_;
};

TempDir* NkfPeer::dir_ = nullptr;
std::string* NkfPeer::corpus_ = nullptr;

TEST_F(NkfPeer, ShiftJisAndEucMatchNkfByteForByte) {
  const std::string euc = ShiftJisToEuc(Corpus());
  const std::string nkf_euc = Nkf("-S -x -e", Corpus());
  EXPECT_TRUE(euc == nkf_euc) << FirstDifference(euc, nkf_euc);
  const std::string back = EucToShiftJis(nkf_euc);
  EXPECT_TRUE(back == Corpus()) << FirstDifference(back, Corpus());
  const std::string nkf_back = Nkf("-E -x -s", euc);
  EXPECT_TRUE(nkf_back == Corpus()) << FirstDifference(nkf_back, Corpus());
}

TEST_F(NkfPeer, JisMatchesNkfExceptTheRomanSequence) {
  const std::string jis = ShiftJisToJis(Corpus());
  const std::string nkf_jis = Nkf("-S -j", Corpus());
  const std::string ours_as_nkf = ReplaceAll(jis, kLeaveJisRoman, kLeaveJisAscii);
  EXPECT_TRUE(ours_as_nkf == nkf_jis) << FirstDifference(ours_as_nkf, nkf_jis);
  EXPECT_EQ(EucToJis(ShiftJisToEuc(Corpus())), jis);

  const std::string nkf_read = Nkf("-J -x -s", jis);
  EXPECT_TRUE(nkf_read == Corpus()) << FirstDifference(nkf_read, Corpus());
  const std::string ours_read = JisToShiftJis(nkf_jis);
  EXPECT_TRUE(ours_read == Corpus()) << FirstDifference(ours_read, Corpus());
  EXPECT_EQ(JisToEuc(nkf_jis), ShiftJisToEuc(Corpus()));
}

// Whole text as one line and line by line give the same JIS, since every line end closes the
// run; round trips through JIS and EUC give the original bytes.
TEST_F(NkfPeer, RoundTripsLineByLine) {
  std::string jis, euc, back_from_jis, back_from_euc;
  std::size_t start = 0;
  while (start < Corpus().size()) {
    std::size_t end = Corpus().find('\n', start);
    end = end == std::string::npos ? Corpus().size() : end + 1;
    const std::string_view line(Corpus().data() + start, end - start);
    const std::size_t jis_from = jis.size(), euc_from = euc.size();
    ShiftJisToJis(line, jis);
    ShiftJisToEuc(line, euc);
    JisToShiftJis(std::string_view(jis).substr(jis_from), back_from_jis);
    EucToShiftJis(std::string_view(euc).substr(euc_from), back_from_euc);
    start = end;
  }
  EXPECT_TRUE(jis == ShiftJisToJis(Corpus()));
  EXPECT_TRUE(back_from_jis == Corpus()) << FirstDifference(back_from_jis, Corpus());
  EXPECT_TRUE(back_from_euc == Corpus()) << FirstDifference(back_from_euc, Corpus());
}

// Half-width katakana with voiced marks: the pages' kana made half-width. nkf turns them into
// full-width JIS the same way, joining the marks.
TEST_F(NkfPeer, HalfWidthKanaToJisMatchNkf) {
  const std::string half = FullToHalf(Corpus().substr(0, 2'000'000));
  ASSERT_NE(half.find('\xDE'), std::string::npos);
  const std::string ours_as_nkf = ReplaceAll(ShiftJisToJis(half), kLeaveJisRoman, kLeaveJisAscii);
  const std::string nkf_jis = Nkf("-S -j", half);
  EXPECT_TRUE(ours_as_nkf == nkf_jis) << FirstDifference(ours_as_nkf, nkf_jis);
  const std::string euc = ShiftJisToEuc(half);
  EXPECT_TRUE(euc == Nkf("-S -x -e", half));
  EXPECT_EQ(EucToJis(euc), ShiftJisToJis(half));
}

// The IBM extensions of code page 932 land where nkf puts them too: on the same character
// within the JIS rows.
TEST_F(NkfPeer, IbmExtensionsMatchNkf) {
  std::string ibm;
  for (int lead = 0xFA; lead <= 0xFC; ++lead) {
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail == 0x7F || (lead == 0xFC && trail > 0x4B)) continue;
      ibm += testutil::Bin({lead, trail, '\n'});
    }
  }
  const std::string euc = ShiftJisToEuc(ibm);
  const std::string nkf_euc = Nkf("-S -x -e", ibm);
  EXPECT_TRUE(euc == nkf_euc) << FirstDifference(euc, nkf_euc);
}

// nkf decodes our encoded words (MIME decoding is on by default) to the original text.
TEST_F(NkfPeer, NkfDecodesOurMailHeaders) {
  std::string header = "Subject: ";
  header += Corpus().substr(Corpus().find("\x82\xB1"), 60);  // starts at a hiragana
  header.resize(header.find('\n') == std::string::npos ? header.size() : header.find('\n'));
  while (!header.empty() && IsLeadByte(static_cast<unsigned char>(header.back()))) header.pop_back();
  const std::string encoded = MailHeaderEncode(header);
  ASSERT_NE(encoded.find("=?ISO-2022-JP?B?"), std::string::npos);
  EXPECT_EQ(Nkf("-J -m -s", encoded), header) << encoded;
  EXPECT_EQ(JisToShiftJis(MailHeaderDecode(encoded)), header);
}

}  // namespace
}  // namespace sorabu::textconv
