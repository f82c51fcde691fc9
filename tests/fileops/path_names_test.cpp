#include "fileops/path_names.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/fileops/temp_tree.h"

namespace sorabu::fileops {
namespace {

using test::TempTree;

TEST(PathNames, BaseAndFolderIgnoreTrailingSlashes) {
  EXPECT_EQ(BaseName("a/b/c.txt"), "c.txt");
  EXPECT_EQ(BaseName("a/b///"), "b");
  EXPECT_EQ(BaseName("plain"), "plain");
  EXPECT_EQ(DirName("a/b/c.txt"), "a/b");
  EXPECT_EQ(DirName("a/b/"), "a");
  EXPECT_EQ(DirName("/top"), "/");
  EXPECT_EQ(DirName("plain"), ".");
  // A name that is not UTF-8 is bytes like any other.
  EXPECT_EQ(BaseName("dir/\x83\x5C.txt"), "\x83\x5C.txt");
}

TEST(PathNames, WildcardsMatchWholeNamesInLinearTime) {
  EXPECT_TRUE(HasWildcard("a?.txt"));
  EXPECT_FALSE(HasWildcard("a.txt"));
  EXPECT_TRUE(WildcardMatch("*.*", "noext"));
  EXPECT_TRUE(WildcardMatch("a*b?c", "axxbyc"));
  EXPECT_FALSE(WildcardMatch("a*b?c", "axxbc"));
  EXPECT_TRUE(WildcardMatch("*", ".hidden"));
  EXPECT_TRUE(WildcardMatch("*.txt", "a.b.txt"));
  EXPECT_FALSE(WildcardMatch("*.txt", "a.txt.bak"));
  EXPECT_FALSE(WildcardMatch("a", "ab"));
  EXPECT_FALSE(WildcardMatch("ab", "a"));
  // Many stars against a long name that does not match end at once.
  EXPECT_FALSE(WildcardMatch(std::string(50, '*') + "b", std::string(100000, 'a')));
}

TEST(PathNames, RenameMasksWorkOnStemAndExtensionApart) {
  EXPECT_EQ(ApplyRenameMask("*.bak", "a.txt"), "a.bak");
  EXPECT_EQ(ApplyRenameMask("?*.txt", "abc.doc"), "abc.txt");
  EXPECT_EQ(ApplyRenameMask("x?.*", "abc.doc"), "xb.doc");
  EXPECT_EQ(ApplyRenameMask("*", "abc.doc"), "abc");
  EXPECT_EQ(ApplyRenameMask("*.*", "noext"), "noext");
  // A leading dot is part of the stem, not an extension.
  EXPECT_EQ(ApplyRenameMask("*.old", ".profile"), ".profile.old");
}

TEST(PathNames, FreeNamesSkipEveryTakenNumber) {
  TempTree t;
  t.Write("a.txt", "1");
  t.Write("a (2).txt", "2");
  EXPECT_EQ(FreeName(t.root(), "a.txt"), "a (3).txt");
  EXPECT_EQ(FreeName(t.root(), ".hidden"), ".hidden (2)");
  EXPECT_EQ(FreeName(t.root(), "b.tar.gz"), "b.tar (2).gz");
}

}  // namespace
}  // namespace sorabu::fileops
