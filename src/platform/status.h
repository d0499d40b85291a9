// The outcome of an operation that can fail for reasons outside the program:
// a missing file, a full disk, a character the code page cannot hold.
#pragma once

#include <string>
#include <utility>

namespace morlavin {

class [[nodiscard]] Status {
 public:
  Status() = default;

  static Status ok() { return Status(); }
  static Status error(std::string message) { return Status(std::move(message)); }
  // Describes a failed system call: `what` failed because of `errnoValue`.
  static Status fromErrno(std::string what, int errnoValue);

  bool isOk() const { return !m_failed; }
  explicit operator bool() const { return isOk(); }
  // A sentence the user can read; empty for success.
  const std::string& message() const { return m_message; }

 private:
  explicit Status(std::string message) : m_failed(true), m_message(std::move(message)) {}

  bool m_failed = false;
  std::string m_message;
};

// A user-readable reason for an errno value, in the program's language.
std::string describeErrno(int errnoValue);

}  // namespace morlavin
