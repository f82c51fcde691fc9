// The texts are kept here as UTF-8 literals and converted once; the program shows CP932.
#include "archive/bind/messages.h"

#include <map>

#include "textconv/cp932.h"

namespace sorabu::archive {
namespace {

const std::map<int, const char*>& Table() {
  static const std::map<int, const char*> table = {
      {32773, "ディスクの空きが足りません。格納時はエラーとなりますが，展開時は当該格納ファイルの展開をスキップして次のファイルの展開に移ります。"},
      {32774, "展開先のファイルはリードオンリーです。"},
      {32775, "ユーザーによって処理がスキップされました。"},
      {32780, "格納ファイルのチェックサムが合っていません。"},
      {32781, "ファイルを開けませんでした。"},
      {32782, "より新しいファイルが展開先に存在しています。"},
      {32783, "ファイルは展開先に存在していません。"},
      {32784, "ファイルは既に存在しています。"},
      {32786, "ディレクトリが作成できません。"},
      {32787, "書き込みエラーが生じました。"},
      {32788, "格納ファイルのハフマンコードが壊れています。"},
      {32790, "書庫のヘッダのチェックサムが合っていません。"},
      {32791, "書庫のヘッダが壊れています。"},
      {32792, "書庫を開く事が出来ません。"},
      {32793, "書庫のファイル名が指定されていません。"},
      {32794, "ファイルの読み込み時にエラーが生じました。"},
      {32795, "指定されたファイルは有効な LZH 書庫ではありません。"},
      {32796, "コマンド指定が間違っています。"},
      {32797, "作業用のためのヒープメモリが不足しています。実際には BC++ のランタイムである malloc() がエラーとなったときにこのエラーとなります。"},
      {32798, "グローバルメモリが不足しています。"},
      {32799, "既に UNLHA32.DLL が動作中です。"},
      {32800, "ユーザーによって処理を中断されました。"},
      {32801, "UnlhaOpenArchive()  で書庫とハンドルを関連付ける前に UnlhaFindFirst() 等の API が使用されました。"},
      {32802, "UnlhaFindFirst() を使用する前に UnlhaFindNext() が呼ばれた。または，これらを呼び出す前に  UnlhaGet-FileName() 等の API が呼ばれました。"},
      {32803, "UNLHA32.DLL  でサポートされていない API が使用されました。"},
      {32804, "日付及び時間の指定形式が間違っています。"},
      {32805, "作業ファイルが作成できません。"},
      {32806, "ディレクトリのパスが長すぎます。"},
      {32807, "書き込み専用属性の書庫に対する操作はできません。"},
      {32808, "すでに同じ名前のファイルが書庫に格納されています。"},
      {32809, "指定されたディレクトリには書庫がありませんでした。"},
      {32810, "レスポンスファイルの読み込み時にエラーが生じました。"},
      {32811, "ファイル名の指定が必要です。"},
      {32812, "作業ファイルの書庫への書き戻しができませんでした。"},
      {32813, "書庫のデータが欠落しています。"},
  };
  return table;
}

const char* Utf8(Msg m) {
  switch (m) {
    case Msg::kNoPack: return "この形式では書庫ファイルの作成をサポートしておりません。";
    case Msg::kNoRemove: return "この形式の書庫ではファイルの削除をサポートしておりません。";
    case Msg::kNoUpdate: return "この形式の書庫では書庫の更新をサポートしておりません。";
    case Msg::kNoSfx: return "この形式では自己解凍書庫の作成をサポートしておりません。";
    case Msg::kNoExtractMem: return "この形式ではメモリへの展開をサポートしておりません。";
    case Msg::kNoCheck: return "この形式では書庫チェック機能をサポートしておりません。";
    case Msg::kMissingLha: return "Lha 形式書庫を扱うには UNLHA32.DLL が 必要です。";
    case Msg::kMissingZip: return "ZIP 形式書庫を解凍するには UNZIP32.DLL が、作成するには ZIP32J.DLL が必要です。";
    case Msg::kMissingCab: return "CAB 形式書庫を扱うには CAB32.DLL が 必要です。";
    case Msg::kMissingArj: return "ARJ 形式書庫を扱うには UNARJ32J.DLL が 必要です。";
    case Msg::kMissingTar: return "tar/tgz/taz/bz2 形式書庫を扱うには tar32.dll が 必要です。";
    case Msg::kMissingRar: return "RAR 形式書庫を扱うには UNRAR32.DLL が 必要です。";
    case Msg::kMissing7z: return "7z 形式書庫を扱うには 7-ZIP32.DLL が 必要です。";
    case Msg::kMissingBga: return "Bga 形式書庫を扱うには BGA32.DLL が 必要です。";
    case Msg::kZipNoPacker: return "ZIP 形式書庫の作成には ZIP32J.DLL または LMZIP32.DLL が必要です。";
    case Msg::kZipNoUnpacker: return "ZIP 形式書庫の解凍には UNZIP32.DLL または LMZIP32.DLL が必要です。";
    case Msg::kUnknownFormat: return "書庫の形式を判別できません。";
  }
  return "";
}

}  // namespace

std::string ErrorMessage(int code) {
  const auto it = Table().find(code);
  return it == Table().end() ? std::string() : textconv::Utf8ToCp932(it->second);
}

std::string Message(Msg m) { return textconv::Utf8ToCp932(Utf8(m)); }

std::string MissingEntryMessage(std::string_view library, std::string_view entry) {
  std::string s;
  if (!library.empty()) {
    s.append(library);
    s += textconv::Utf8ToCp932(" に ");
  }
  s.append(entry);
  s += textconv::Utf8ToCp932(" のエントリが見つかりません。");
  return s;
}

}  // namespace sorabu::archive
