#include "textconv/system_error.h"

#include <cerrno>

#include "textconv/cp932.h"

namespace sorabu::textconv {

namespace {

const char* Sentence(int err) {
  switch (err) {
    case EPERM: return "この操作は許可されていません。";
    case EACCES: return "アクセスが拒否されました。";
    case ENOENT: return "ファイルまたはフォルダーが見つかりません。";
    case ENOSPC: return "ディスクの空きが足りません。";
#ifdef EDQUOT
    case EDQUOT: return "ディスクの使用量の上限を超えました。";
#endif
    case EROFS: return "読み取り専用のファイルシステムです。";
    case EEXIST: return "同じ名前のファイルまたはフォルダーがすでにあります。";
    case ENOTDIR: return "フォルダーではありません。";
    case EISDIR: return "フォルダーです。ファイルではありません。";
    case ENOTEMPTY: return "フォルダーが空ではありません。";
    case EXDEV: return "別のファイルシステムへは名前の変更で移せません。";
    case ENAMETOOLONG: return "名前が長すぎます。";
    case ELOOP: return "シンボリック リンクが循環しています。";
    case EBUSY: return "ファイルまたはデバイスが使用中です。";
    case ETXTBSY: return "実行中のファイルです。";
    case EMFILE:
    case ENFILE: return "開いているファイルが多すぎます。";
    case ENOMEM: return "メモリーが足りません。";
    case EIO: return "入出力エラーが生じました。";
    case EFBIG: return "ファイルが大きすぎます。";
    case EOVERFLOW: return "ファイルが大きすぎて扱えません。";
    case EINVAL: return "指定が正しくありません。";
    case EAGAIN: return "いまは使えません。しばらくしてからやり直してください。";
    case EINTR: return "処理が中断されました。";
    case ENXIO:
    case ENODEV: return "デバイスが見つかりません。";
    case ETIMEDOUT: return "時間内に応答がありませんでした。";
    case EPIPE: return "相手のプログラムが読み取りをやめました。";
    case ECANCELED: return "処理が取り消されました。";
    case EOPNOTSUPP: return "この操作はサポートされていません。";
#if defined(ENOTSUP) && ENOTSUP != EOPNOTSUPP
    case ENOTSUP: return "この操作はサポートされていません。";
#endif
    case ENOSYS: return "この機能はこのシステムにありません。";
    case ENOEXEC: return "実行できる形式のファイルではありません。";
    case E2BIG: return "引数が長すぎます。";
    case EBADF: return "ファイルが開かれていません。";
    case ESPIPE: return "位置を移せないファイルです (パイプなど)。";
    case EMLINK: return "リンクが多すぎます。";
    case ESTALE: return "ネットワーク上のファイルが見えなくなりました。";
    case ENOTCONN: return "接続されていません。";
    case ECONNREFUSED: return "接続が拒否されました。";
    case ECONNRESET: return "接続が切れました。";
    case EHOSTUNREACH:
    case ENETUNREACH: return "ネットワークに届きません。";
    case EILSEQ: return "文字の並びが正しくありません。";
    case ERANGE: return "値が範囲を超えています。";
    case EDEADLK: return "デッドロックになるため中止しました。";
    case ENOLCK: return "ファイルをロックできません。";
    case ESRCH: return "プロセスが見つかりません。";
    case ECHILD: return "子プロセスがありません。";
    case EFAULT: return "メモリーの番地が正しくありません。";
    case ENOTTY: return "端末ではありません。";
    case ENODATA: return "データがありません。";
#ifdef EUCLEAN
    case EUCLEAN: return "ファイルシステムが壊れています。";
#endif
#ifdef ENOMEDIUM
    case ENOMEDIUM: return "メディアが入っていません。";
#endif
    default: return nullptr;
  }
}

}  // namespace

std::string SystemErrorUtf8(int err) {
  if (const char* s = Sentence(err)) return s;
  return "システム エラーが生じました。 (" + std::to_string(err) + ")";
}

std::string SystemErrorText(int err) { return Utf8ToCp932(SystemErrorUtf8(err)); }

std::string LastSystemErrorText() { return SystemErrorText(errno); }

}  // namespace sorabu::textconv
