#include "fileops/error_text.h"

#include <gio/gio.h>

#include <cerrno>

namespace sorabu::fileops {

namespace {

struct Entry {
  int code;
  const char* text;
};

// The errors a file command can meet; the rest are shown by number.
constexpr Entry kErrno[] = {
    {EPERM, "操作は許可されていません"},
    {ENOENT, "ファイルまたはフォルダーがありません"},
    {EIO, "入出力エラーが発生しました"},
    {ENXIO, "デバイスまたはアドレスがありません"},
    {E2BIG, "引数が長すぎます"},
    {EBADF, "ファイル記述子が不正です"},
    {EAGAIN, "一時的に利用できません"},
    {ENOMEM, "メモリが足りません"},
    {EACCES, "アクセスが拒否されました"},
    {EFAULT, "アドレスが不正です"},
    {EBUSY, "デバイスまたはリソースが使用中です"},
    {EEXIST, "同じ名前のファイルがあります"},
    {EXDEV, "別のファイルシステムへは移動できません"},
    {ENODEV, "デバイスがありません"},
    {ENOTDIR, "途中の名前がフォルダーではありません"},
    {EISDIR, "フォルダーです"},
    {EINVAL, "引数が不正です"},
    {ENFILE, "開いているファイルが多すぎます（システム全体）"},
    {EMFILE, "開いているファイルが多すぎます"},
    {ETXTBSY, "実行中のファイルです"},
    {EFBIG, "ファイルが大きすぎます"},
    {ENOSPC, "ディスクの空きが足りません"},
    {ESPIPE, "シークできません"},
    {EROFS, "読み込み専用のファイルシステムです"},
    {EMLINK, "リンクが多すぎます"},
    {EPIPE, "パイプが切断されました"},
    {ENAMETOOLONG, "名前が長すぎます"},
    {ENOSYS, "この機能はサポートされていません"},
    {ENOTEMPTY, "フォルダーが空ではありません"},
    {ELOOP, "シンボリックリンクの階層が多すぎます"},
    {EOVERFLOW, "値が大きすぎます"},
    {ENOTSUP, "この操作はサポートされていません"},
    {ETIMEDOUT, "時間切れになりました"},
    {ESTALE, "ネットワークファイルシステムのハンドルが古くなっています"},
    {EDQUOT, "ディスク使用量の制限を超えました"},
    {ECANCELED, "取り消されました"},
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

std::string ErrnoText(int err) { return Find(kErrno, err, "システムのエラー（"); }
std::string GioErrorText(int code) { return Find(kGio, code, "ファイル操作のエラー（"); }

}  // namespace sorabu::fileops
