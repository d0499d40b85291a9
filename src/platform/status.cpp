// Turns system error numbers into reasons a user can act on.
#include "platform/status.h"

#include <cerrno>

namespace morlavin {

std::string describeErrno(int errnoValue) {
  switch (errnoValue) {
    case ENOENT: return "ファイルまたはフォルダが見つかりません";
    case EACCES:
    case EPERM: return "アクセスが拒否されました";
    case EISDIR: return "フォルダです";
    case ENOTDIR: return "パスの途中にフォルダではないものがあります";
    case ENOSPC:
    case EDQUOT: return "ディスクの空き容量が足りません";
    case EROFS: return "読み取り専用のファイルシステムです";
    case ENOMEM: return "メモリが足りません";
    case ENAMETOOLONG: return "パスが長すぎます";
    case EFBIG:
    case EOVERFLOW: return "ファイルが大きすぎます";
    case ETXTBSY: return "ファイルが使用中です";
    case EIO: return "入出力エラーが発生しました";
    case EINVAL: return "この操作はできません";
    case EEXIST: return "同じ名前のファイルがすでにあります";
    case EXDEV: return "別のファイルシステムへは移動できません";
    case EBUSY: return "ファイルまたはフォルダが使用中です";
    case ELOOP: return "シンボリックリンクが多すぎるか、循環しています";
    case EMLINK: return "リンクが多すぎます";
    case ENXIO:
    case ENODEV: return "デバイスが見つかりません";
    case EMFILE:
    case ENFILE: return "開いているファイルが多すぎます";
    case EAGAIN: return "一時的に使用できません";
    case ENOTEMPTY: return "フォルダが空ではありません";
    case EOPNOTSUPP:
    case ENOSYS: return "このファイルシステムではできない操作です";
    case ESTALE: return "ネットワーク上のファイルが無効になりました";
    case EINTR: return "操作が中断されました";
    case ETIMEDOUT: return "時間切れになりました";
    case EPIPE: return "書き込み先が閉じられています";
    case EBADF: return "ファイルが開かれていません";
    case ESPIPE: return "位置を移動できないファイルです";
    case ENOLCK: return "ファイルをロックできません";
    case ENOMEDIUM: return "メディアが入っていません";
    case ENOTCONN:
    case ENOLINK:
    case EHOSTDOWN:
    case EHOSTUNREACH:
    case ENETDOWN:
    case ENETUNREACH:
    case ECONNRESET:
    case ECONNABORTED:
    case ECONNREFUSED: return "接続が切れています";
    case EUCLEAN: return "ファイルシステムが壊れています";
    case EREMOTEIO: return "リモートの入出力エラーが発生しました";
    case ECANCELED: return "操作が取り消されました";
    case E2BIG: return "引数が長すぎます";
    case ENOEXEC: return "実行できる形式ではありません";
    case EFAULT: return "不正なアドレスです";
    case EDEADLK: return "デッドロックが起きるため実行できません";
    case ENOTTY: return "この種類のファイルにはできない操作です";
    default: return "予期しないエラーです (errno " + std::to_string(errnoValue) + ")";
  }
}

StatusCode codeOfErrno(int errnoValue) {
  switch (errnoValue) {
    case 0: return StatusCode::kIoError;
    case ENOENT: return StatusCode::kNotFound;
    case EACCES:
    case EPERM: return StatusCode::kRefused;
    case EEXIST:
    case ENOTEMPTY: return StatusCode::kExists;
    case EISDIR:
    case ENXIO:
    case ENODEV: return StatusCode::kNotRegularFile;
    case ENAMETOOLONG:
    case EFBIG:
    case EOVERFLOW:
    case E2BIG: return StatusCode::kTooLong;
    case ENOSPC:
    case EDQUOT: return StatusCode::kNoSpace;
    case EROFS: return StatusCode::kReadOnly;
    case ENOMEM: return StatusCode::kOutOfMemory;
    default: return StatusCode::kIoError;
  }
}

Status Status::fromErrno(std::string what, int errnoValue) {
  return error(codeOfErrno(errnoValue), std::move(what), describeErrno(errnoValue));
}

}  // namespace morlavin
