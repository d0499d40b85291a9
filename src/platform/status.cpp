// Turns system error numbers into reasons a user can act on.
#include "platform/status.h"

#include <cerrno>

#include "platform/texts.h"

namespace morlavin {

std::string describeErrno(int errnoValue) {
  for (const texts::reasons::ErrnoReason& row : texts::reasons::kErrnoReasons) {
    if (row.errnoValue == errnoValue) return std::string(row.reason);
  }
  return texts::reasons::unexpectedErrno(errnoValue);
}

StatusCode codeOfErrno(int errnoValue) {
  switch (errnoValue) {
    case 0:
      return StatusCode::kIoError;
    case ENOENT:
      return StatusCode::kNotFound;
    case EACCES:
    case EPERM:
      return StatusCode::kRefused;
    case EEXIST:
    case ENOTEMPTY:
      return StatusCode::kExists;
    case EISDIR:
    case ENXIO:
    case ENODEV:
      return StatusCode::kNotRegularFile;
    case ENAMETOOLONG:
    case EFBIG:
    case EOVERFLOW:
    case E2BIG:
      return StatusCode::kTooLong;
    case ENOSPC:
    case EDQUOT:
      return StatusCode::kNoSpace;
    case EROFS:
      return StatusCode::kReadOnly;
    case ENOMEM:
      return StatusCode::kOutOfMemory;
    default:
      return StatusCode::kIoError;
  }
}

Status posixError(std::string what, int errnoValue) {
  return Status::error(codeOfErrno(errnoValue), std::move(what), describeErrno(errnoValue));
}

}  // namespace morlavin
