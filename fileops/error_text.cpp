#include "fileops/error_text.h"

#include <gio/gio.h>

#include <cerrno>

#include "textconv/system_error.h"

namespace sorabu::fileops {

namespace {

struct Entry {
  int code;
  const char* text;
};

constexpr Entry kGio[] = {
    {G_IO_ERROR_FAILED, "処理に失敗しました"},
    {G_IO_ERROR_NOT_FOUND, "ファイルまたはフォルダーがありません"},
    {G_IO_ERROR_EXISTS, "同じ名前のファイルがあります"},
    {G_IO_ERROR_IS_DIRECTORY, "フォルダーです"},
    {G_IO_ERROR_NOT_DIRECTORY, "フォルダーではありません"},
    {G_IO_ERROR_NOT_EMPTY, "フォルダーが空ではありません"},
    {G_IO_ERROR_NOT_REGULAR_FILE, "通常のファイルではありません"},
    {G_IO_ERROR_NOT_SYMBOLIC_LINK, "シンボリックリンクではありません"},
    {G_IO_ERROR_NOT_MOUNTABLE_FILE, "マウントできるファイルではありません"},
    {G_IO_ERROR_FILENAME_TOO_LONG, "名前が長すぎます"},
    {G_IO_ERROR_INVALID_FILENAME, "名前が不正です"},
    {G_IO_ERROR_TOO_MANY_LINKS, "シンボリックリンクの階層が多すぎます"},
    {G_IO_ERROR_NO_SPACE, "ディスクの空きが足りません"},
    {G_IO_ERROR_INVALID_ARGUMENT, "引数が不正です"},
    {G_IO_ERROR_PERMISSION_DENIED, "アクセスが拒否されました"},
    {G_IO_ERROR_NOT_SUPPORTED, "この操作はサポートされていません"},
    {G_IO_ERROR_NOT_MOUNTED, "マウントされていません"},
    {G_IO_ERROR_ALREADY_MOUNTED, "既にマウントされています"},
    {G_IO_ERROR_CLOSED, "ファイルは閉じられています"},
    {G_IO_ERROR_CANCELLED, "取り消されました"},
    {G_IO_ERROR_PENDING, "処理が終わっていません"},
    {G_IO_ERROR_READ_ONLY, "読み込み専用です"},
    {G_IO_ERROR_CANT_CREATE_BACKUP, "バックアップを作成できません"},
    {G_IO_ERROR_WRONG_ETAG, "ファイルが他のプログラムによって変更されました"},
    {G_IO_ERROR_TIMED_OUT, "時間切れになりました"},
    {G_IO_ERROR_WOULD_RECURSE, "フォルダーをそれ自身の中に入れることになります"},
    {G_IO_ERROR_BUSY, "使用中です"},
    {G_IO_ERROR_WOULD_BLOCK, "処理を待つことになります"},
    {G_IO_ERROR_HOST_NOT_FOUND, "ホストが見つかりません"},
    {G_IO_ERROR_WOULD_MERGE, "フォルダーを統合することになります"},
    {G_IO_ERROR_TOO_MANY_OPEN_FILES, "開いているファイルが多すぎます"},
    {G_IO_ERROR_NOT_INITIALIZED, "初期化されていません"},
    {G_IO_ERROR_ADDRESS_IN_USE, "アドレスは使用中です"},
    {G_IO_ERROR_PARTIAL_INPUT, "入力が途中で終わっています"},
    {G_IO_ERROR_INVALID_DATA, "データが不正です"},
    {G_IO_ERROR_HOST_UNREACHABLE, "ホストに到達できません"},
    {G_IO_ERROR_NETWORK_UNREACHABLE, "ネットワークに到達できません"},
    {G_IO_ERROR_CONNECTION_REFUSED, "接続を拒否されました"},
    {G_IO_ERROR_NOT_CONNECTED, "接続されていません"},
    {G_IO_ERROR_MESSAGE_TOO_LARGE, "メッセージが大きすぎます"},
};

template <std::size_t N>
std::string Find(const Entry (&table)[N], int code, const char* unknown) {
  for (const Entry& e : table)
    if (e.code == code) return e.text;
  return std::string(unknown) + std::to_string(code) + "）";
}

}  // namespace

std::string GioErrorText(int code) { return Find(kGio, code, "ファイル操作のエラー（"); }

std::string GioErrorText(const GError* error) {
  if (error == nullptr) return "ファイル操作に失敗しました。";
  if (error->domain == G_IO_ERROR) return GioErrorText(error->code);
  if (error->domain == G_FILE_ERROR) {
    // GFileError has its own numbers for the errno values.
    static constexpr struct {
      GFileError code;
      int err;
    } kFileErrors[] = {
        {G_FILE_ERROR_EXIST, EEXIST}, {G_FILE_ERROR_ISDIR, EISDIR}, {G_FILE_ERROR_ACCES, EACCES},
        {G_FILE_ERROR_NAMETOOLONG, ENAMETOOLONG}, {G_FILE_ERROR_NOENT, ENOENT}, {G_FILE_ERROR_NOTDIR, ENOTDIR},
        {G_FILE_ERROR_NXIO, ENXIO}, {G_FILE_ERROR_NODEV, ENODEV}, {G_FILE_ERROR_ROFS, EROFS},
        {G_FILE_ERROR_TXTBSY, ETXTBSY}, {G_FILE_ERROR_LOOP, ELOOP}, {G_FILE_ERROR_NOSPC, ENOSPC},
        {G_FILE_ERROR_NOMEM, ENOMEM}, {G_FILE_ERROR_MFILE, EMFILE}, {G_FILE_ERROR_NFILE, ENFILE},
        {G_FILE_ERROR_BADF, EBADF}, {G_FILE_ERROR_INVAL, EINVAL}, {G_FILE_ERROR_PIPE, EPIPE},
        {G_FILE_ERROR_AGAIN, EAGAIN}, {G_FILE_ERROR_INTR, EINTR}, {G_FILE_ERROR_IO, EIO},
        {G_FILE_ERROR_PERM, EPERM}, {G_FILE_ERROR_NOSYS, ENOSYS}};
    for (const auto& f : kFileErrors)
      if (f.code == error->code) return textconv::SystemErrorUtf8(f.err);
  }
  return "ファイル操作に失敗しました。";
}

}  // namespace sorabu::fileops
