// Turns system error numbers into reasons a user can act on.
#include "platform/status.h"

#include <cerrno>
#include <cstring>

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
    case EFBIG: return "ファイルが大きすぎます";
    case ETXTBSY: return "ファイルが使用中です";
    case EIO: return "入出力エラーが発生しました";
    case EINVAL: return "通常のファイルではありません";
    default: return std::strerror(errnoValue);
  }
}

Status Status::fromErrno(std::string what, int errnoValue) {
  return error(std::move(what) + " (" + describeErrno(errnoValue) + ")");
}

}  // namespace morlavin
