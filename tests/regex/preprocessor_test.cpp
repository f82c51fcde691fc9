// Dictionary preprocessor: comma text, the built-in fuzzy dictionary, and rewritten patterns.
#include <gtest/gtest.h>

#include "regex/dictionary.h"
#include "regex/errors.h"
#include "regex/preprocessor.h"
#include "test_util.h"

namespace sorabu::regex {
namespace {

using test::S;
using Words = std::vector<std::string>;

TEST(CommaTextTest, Fields) {
  struct Row {
    std::string text;
    Words fields;
  };
  const Row rows[] = {
      {"a,b", {"a", "b"}},
      {" a,  b", {"a", "b"}},
      {"a,", {"a"}},
      {"", {}},
      {"\"a,b\",c", {"a,b", "c"}},
      {"\"\"\"\",x", {"\"", "x"}},
      {"\" \",y", {" ", "y"}},
      {"a,,b", {"a", "", "b"}},
  };
  for (const Row& row : rows) EXPECT_EQ(SplitCommaText(row.text), row.fields) << row.text;
}

TEST(FuzzyDictionaryTest, EntriesAsListed) {
  const auto dic = BuiltinFuzzyDictionary();
  const auto& e = dic->entries();
  ASSERT_EQ(e.size(), 145u);
  struct Row {
    std::size_t entry;  // 1-based
    Words words;        // UTF-8
  };
  const Row rows[] = {
      {1, {"Ａ", "ａ", "A", "a"}},
      {26, {"Ｚ", "ｚ", "Z", "z"}},
      {27, {"0", "０", "零"}},
      {28, {"1", "１", "一", "①", "Ⅰ", "壱"}},
      {37, {"　", " "}},
      {39, {"\"", "”"}},
      {49, {"ー", "～", "ｰ"}},
      {50, {"-", "ー", "－", "～", "ｰ"}},
      {61, {"\\", "￥"}},
      {69, {",", "､", "、", "，"}},
      {70, {"｡", ".", "。", "．"}},
      {74, {"が", "ガ", "ｶﾞ", "か゛", "カ゛"}},
      {81, {"ず", "ズ", "ｽﾞ", "ス゛", "ス゛", "づ", "ヅ", "ﾂﾞ", "つ゛", "ツ゛"}},
      {96, {"ぽ", "ポ", "ﾎﾟ", "ほ゜", "ホ゜"}},
      {97, {"あ", "ア", "ｱ", "ぁ", "ァ", "ｧ"}},
      {102, {"か", "カ", "ｶ"}},
      {114, {"つ", "ツ", "ﾂ", "っ", "ッ", "ｯ"}},
      {131, {"も", "モ", "ﾓ"}},
      {134, {"よ", "ヨ", "ﾖ", "ょ", "ョ", "ｮ"}},
      {139, {"ろ", "ロ", "ﾛ"}},
      {143, {"を", "ヲ", "ｦ", "うぉ", "ウォ", "ｳｫ"}},
      {145, {"ﾟ", "゜"}},
  };
  for (const Row& row : rows) {
    Words cp932;
    for (const std::string& w : row.words) cp932.push_back(S(w));
    EXPECT_EQ(e[row.entry - 1].words, cp932) << row.entry;
  }
}

TEST(PreprocessorTest, FuzzyRewriting) {
  struct Row {
    std::string pattern;  // UTF-8
    std::string rewritten;
  };
  const Row rows[] = {
      {"ｶﾞ", "(が|ガ|ｶﾞ|か゛|カ゛)"},
      {"か゛", "(が|ガ|ｶﾞ|か゛|カ゛)"},
      {"A.B", "(Ａ|ａ|A|a).(Ｂ|ｂ|B|b)"},
      {"\\$", "(\\$|＄)"},
      {"\\\\", "(\\\\|￥)"},
      {"｡", "(｡|\\.|。|．)"},
      {"[ab]", "[ab]"},
      {"[^a]", "[^(Ａ|ａ|A|a)]"},
      {"a*|b", "(Ａ|ａ|A|a)*|(Ｂ|ｂ|B|b)"},
      {"ー", "(ー|～|ｰ)"},
      {"-", "(-|ー|－|～|ｰ)"},
      {"漢字", "漢字"},
      {"\\x41", "(Ａ|ａ|A|a)"},
      {"ヴァ", "(ば|バ|ﾊﾞ|は゛|ハ゛|ヴァ|う゛ぁ|ウ゛ァ|ｳﾞｧ)"},
      {"", ""},
  };
  TREPreProcessor pre;
  pre.fuzzy_dictionaries.push_back(BuiltinFuzzyDictionary());
  pre.use_fuzzy = true;
  for (const Row& row : rows) EXPECT_EQ(pre.Run(S(row.pattern)), S(row.rewritten)) << row.pattern;
  pre.use_fuzzy = false;
  EXPECT_EQ(pre.Run(S("ｶﾞ")), S("ｶﾞ"));
}

TEST(PreprocessorTest, SynonymsRunFirstAndAnEmptyListChangesNothing) {
  TREPreProcessor pre;
  pre.use_synonym = true;
  EXPECT_EQ(pre.Run("colou?r|\\x41[a-z]"), "colou?r|\\x41[a-z]");
  pre.synonym_dictionaries.push_back(
      std::make_shared<const TREDictionary>(std::vector<Words>{{"color", "colour"}, {"a.b", "q"}}));
  EXPECT_EQ(pre.Run("the color"), "the (color|colour)");
  EXPECT_EQ(pre.Run("q"), "(a\\.b|q)");
  EXPECT_EQ(pre.Run("col(or)"), "col(or)");  // words match within one run of literals only
  pre.fuzzy_dictionaries.push_back(BuiltinFuzzyDictionary());
  pre.use_fuzzy = true;
  EXPECT_EQ(pre.Run("q"), S("((Ａ|ａ|A|a)(｡|\\.|。|．)(Ｂ|ｂ|B|b)|(Ｑ|ｑ|Q|q))"));
}

TEST(PreprocessorTest, FaultsPropagate) {
  TREPreProcessor pre;
  pre.use_fuzzy = true;
  pre.fuzzy_dictionaries.push_back(BuiltinFuzzyDictionary());
  EXPECT_THROW(pre.Run("[abc"), ERegExpParser);
  EXPECT_THROW(pre.Run("a\\"), ERegExpParser);
  // growth past the pattern limit is refused
  EXPECT_THROW(pre.Run(std::string(20000, 'a')), ERegExpParser);
}

}  // namespace
}  // namespace sorabu::regex
