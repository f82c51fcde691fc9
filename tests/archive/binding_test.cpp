// The binding: result-code messages, missing libraries and entry points (folders without the
// plug-ins), the direct LHA binding, and the format by name and by content.
#include <gtest/gtest.h>

#include <filesystem>

#include "archive/bind/archive_file.h"
#include "archive/bind/commands.h"
#include "archive/bind/lha_binding.h"
#include "textconv/cp932.h"
#include "tests/archive/test_util.h"

namespace sorabu::archive {
namespace {

using lha::test::TempDir;
using T = TArchiverType;

std::string U(const std::string& cp932) { return textconv::Cp932ToUtf8(cp932); }

// Points the binding at a folder for the test's lifetime.
struct FolderScope {
  explicit FolderScope(const std::string& f) { SetLibraryFolder(f); }
  ~FolderScope() { SetLibraryFolder(PLUGIN_DIR); }
};

std::string RaisedBy(const std::function<void()>& f) {
  try {
    f();
  } catch (const EArchiverError& e) {
    return U(e.what());
  }
  return "(nothing raised)";
}

TEST(MessagesTest, ResultCodes) {
  const std::vector<std::pair<int, std::string>> cases = {
      {0, ""},
      {1, ""},
      {32772, ""},
      {32780, "格納ファイルのチェックサムが合っていません。"},
      {32792, "書庫を開く事が出来ません。"},
      {32795, "指定されたファイルは有効な LZH 書庫ではありません。"},
      {32801, "UnlhaOpenArchive()  で書庫とハンドルを関連付ける前に UnlhaFindFirst() 等の API が使用されました。"},
      {32813, "書庫のデータが欠落しています。"},
      {32814, ""},
  };
  for (const auto& [code, text] : cases) EXPECT_EQ(U(ErrorMessage(code)), text) << code;
  for (int code = 32773; code <= 32813; ++code) {
    const bool gap = code == 32776 || code == 32777 || code == 32778 || code == 32779 || code == 32785 || code == 32789;
    EXPECT_EQ(ErrorMessage(code).empty(), gap) << code;
  }
}

TEST(BindingTest, MissingLibrariesRaiseTheFormatsMessage) {
  TempDir empty;
  FolderScope scope(empty.path());
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"a.lzh", "Lha 形式書庫を扱うには UNLHA32.DLL が 必要です。"},
      {"a.zip", "ZIP 形式書庫を解凍するには UNZIP32.DLL が、作成するには ZIP32J.DLL が必要です。"},
      {"a.cab", "CAB 形式書庫を扱うには CAB32.DLL が 必要です。"},
      {"a.arj", "ARJ 形式書庫を扱うには UNARJ32J.DLL が 必要です。"},
      {"a.tgz", "tar/tgz/taz/bz2 形式書庫を扱うには tar32.dll が 必要です。"},
      {"a.rar", "RAR 形式書庫を扱うには UNRAR32.DLL が 必要です。"},
      {"a.gza", "Bga 形式書庫を扱うには BGA32.DLL が 必要です。"},
      {"a.txt", "書庫の形式を判別できません。"},
  };
  for (const auto& [name, message] : cases) {
    TArchiveFile af(name);
    EXPECT_EQ(RaisedBy([&] { af.Check(1, 4); }), message) << name;
    EXPECT_EQ(RaisedBy([&] { af.Extract(nullptr, nullptr, {}, ""); }), message) << name;
  }
  EXPECT_EQ(LhaVersion(), 0);
  std::string out;
  EXPECT_EQ(LhaCommand(nullptr, "l a.lzh", out), 32792);
  EXPECT_FALSE(LhaCheck("a.lzh", 0));
  // Detection treats a missing library as "not this format".
  EXPECT_EQ(TypeByContent(empty / "x.exe"), T::atNone);
}

TEST(BindingTest, ArjBgaAndLmzipAreAbsentEvenBesideThePlugins) {
  FolderScope scope(PLUGIN_DIR);
  EXPECT_EQ(RaisedBy([] { TArchiveFile("a.arj").Check(1, 4); }), "ARJ 形式書庫を扱うには UNARJ32J.DLL が 必要です。");
  EXPECT_EQ(RaisedBy([] { TArchiveFile("a.bza").Check(1, 4); }), "Bga 形式書庫を扱うには BGA32.DLL が 必要です。");
  EXPECT_GT(LhaVersion(), 0);
}

TEST(BindingTest, MissingEntryPoints) {
  TempDir dir;
  // A library that loads but lacks the entries: the CAB plug-in under the ARJ and ZIP names.
  std::filesystem::copy_file(std::string(PLUGIN_DIR) + "/libcab32.so", dir / "libunarj32j.so");
  std::filesystem::copy_file(std::string(PLUGIN_DIR) + "/libcab32.so", dir / "libunzip32.so");
  FolderScope scope(dir.path());
  EXPECT_EQ(RaisedBy([] { TArchiveFile("a.arj").Check(1, 4); }), "UNARJ32J.DLL に UnarjCheckArchive のエントリが見つかりません。");
  EXPECT_EQ(RaisedBy([] { TArchiveFile("a.zip").Check(1, 4); }), "UnZipCheckArchive のエントリが見つかりません。");
  // ZIP with an unpacker but no packer.
  EXPECT_EQ(RaisedBy([] { TArchiveFile("a.zip").Pack(nullptr, nullptr, {"x"}, ""); }),
            "ZIP 形式書庫の作成には ZIP32J.DLL または LMZIP32.DLL が必要です。");
}

TEST(BindingTest, BaseClassMessagesForMissingOperations) {
  FolderScope scope(PLUGIN_DIR);
  TRar32 rar;
  TArchiverOptions o;
  std::string out;
  EXPECT_EQ(RaisedBy([&] { rar.Pack(nullptr, o, "a.rar", {}, "", out, 10); }), "この形式では書庫ファイルの作成をサポートしておりません。");
  EXPECT_EQ(RaisedBy([&] { rar.Remove(nullptr, o, "a.rar", {}, out, 10); }), "この形式の書庫ではファイルの削除をサポートしておりません。");
  EXPECT_EQ(RaisedBy([&] { rar.Update(nullptr, o, "a.rar", {}, out, 10); }), "この形式の書庫では書庫の更新をサポートしておりません。");
  EXPECT_EQ(RaisedBy([&] { rar.MakeSfx(nullptr, o, "a.rar", out, 10); }), "この形式では自己解凍書庫の作成をサポートしておりません。");
  EXPECT_EQ(RaisedBy([&] { rar.ExtractMem(nullptr, "", out, 10); }), "この形式ではメモリへの展開をサポートしておりません。");
  TArchiveFile none("a.doc");
  EXPECT_EQ(none.ArchiverType(), T::atNone);
  EXPECT_EQ(RaisedBy([&] { none.Open(nullptr, 0); }), "書庫の形式を判別できません。");
}

TEST(DetectionTest, ByName) {
  const std::vector<std::pair<std::string, T>> cases = {
      {"a.lzh", T::atLha}, {"A.LZH", T::atLha}, {"a.cab", T::atCab}, {"a.zip", T::atZip}, {"a.arj", T::atArj},
      {"a.rar", T::atRar}, {"a.gza", T::atBga}, {"a.bza", T::atBga}, {"a.bz2", T::atBZ2}, {"a.tar", T::atTar},
      {"a.z", T::atTgz},   {"a.Z", T::atTgz},   {"a.gz", T::atTgz},  {"a.tar.gz", T::atTgz}, {"a.tgz", T::atTgz},
      {"a.taz", T::atTgz}, {"a.txt", T::atNone}, {"noext", T::atNone}, {"dir.zip/file", T::atNone},
      {"a.exe", T::atAutoDetect},
  };
  for (const auto& [name, type] : cases) EXPECT_EQ(TypeByName(name), type) << name;
}

}  // namespace
}  // namespace sorabu::archive
