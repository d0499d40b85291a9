// The outcome of an operation that can fail for reasons outside the program:
// a missing file, a full disk, a character the code page cannot hold. A
// failure carries a code, for callers that act on the kind of failure, and a
// sentence for the user, so that nobody has to look at the disk again to tell
// "missing" from "refused".
#pragma once

#include <cassert>
#include <string>
#include <utility>
#include <variant>

namespace morlavin {

enum class StatusCode {
  kOk,
  kNotFound,        // no such file or folder
  kRefused,         // permission denied
  kExists,          // a name is taken
  kNotRegularFile,  // a folder, pipe, device or socket where a file was expected
  kTooLong,         // a name, a path or a file too large
  kNoSpace,         // disk or quota full
  kReadOnly,        // a read-only file or file system
  kOutOfMemory,
  kBadInput,  // the data itself cannot be taken: too many lines, no ".txt", an unstorable value
  kChanged,   // a file changed under the program
  kNotConfigured,  // the user has not named what the operation needs
  kIoError,        // everything else the system reports
};

class [[nodiscard]] Status {
 public:
  // Success.
  Status() = default;

  // A failure of kind `code`, told to the user as `message`.
  static Status error(StatusCode code, std::string message) {
    assert(code != StatusCode::kOk);
    return Status(code, std::move(message), {});
  }
  // `what` failed for `reason`: the user reads "what (reason)".
  static Status error(StatusCode code, std::string what, std::string reason) {
    assert(code != StatusCode::kOk);
    return Status(code, std::move(what), std::move(reason));
  }
  // A failure of kind `code` that the user is not told of: nothing was tried
  // that the user would expect to hear about (no file named, no title to take).
  static Status silent(StatusCode code) {
    Status status = error(code, std::string());
    status.m_silent = true;
    return status;
  }

  bool ok() const { return m_code == StatusCode::kOk; }
  // A failure with nothing to tell the user.
  bool silent() const { return m_silent; }
  StatusCode code() const { return m_code; }
  // The sentence the user reads; empty for success and for a silent failure.
  std::string message() const { return m_reason.empty() ? m_what : m_what + " (" + m_reason + ")"; }
  // The same failure, told as `what` failing: the caller knows better what
  // the user was doing ("設定ファイルを読み込めません: PATH").
  Status rephrased(std::string what) const { return Status(m_code, std::move(what), m_reason); }

 private:
  Status(StatusCode code, std::string what, std::string reason)
      : m_code(code), m_what(std::move(what)), m_reason(std::move(reason)) {}

  StatusCode m_code = StatusCode::kOk;
  std::string m_what;
  std::string m_reason;
  bool m_silent = false;
};

// A value, or the Status that tells why there is none.
template <class T>
class [[nodiscard]] Result {
 public:
  Result(T value) : m_state(std::move(value)) {}        // NOLINT: a value converts implicitly
  Result(Status status) : m_state(std::move(status)) {  // NOLINT: so does a failure
    assert(!std::get<Status>(m_state).ok());
  }

  bool ok() const { return std::holds_alternative<T>(m_state); }
  // The failure; success when there is a value.
  Status status() const { return ok() ? Status() : std::get<Status>(m_state); }

  const T& value() const& { return std::get<T>(m_state); }
  T& value() & { return std::get<T>(m_state); }
  T&& value() && { return std::get<T>(std::move(m_state)); }
  const T& operator*() const& { return value(); }
  T& operator*() & { return value(); }
  // The value, or `fallback` when there is none.
  T value_or(T fallback) const& { return ok() ? value() : std::move(fallback); }
  const T* operator->() const { return &value(); }
  T* operator->() { return &value(); }

 private:
  std::variant<T, Status> m_state;
};

// What a failed system call means for the user, made where the call failed:
// `what` failed because of `errnoValue` (the call's errno), with the kind of
// failure that errno stands for.
Status posixError(std::string what, int errnoValue);

// A user-readable reason for an errno value, in the program's language.
std::string describeErrno(int errnoValue);
// The kind of failure an errno value stands for.
StatusCode codeOfErrno(int errnoValue);

}  // namespace morlavin
