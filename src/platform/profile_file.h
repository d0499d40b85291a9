// One key of one section of an INI ("profile") file, read and written the way
// the Windows profile functions do, on the file's raw bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/status.h"

namespace morlavin::platform {

// The value stored under `key` in `section` of the INI file at `path`, or
// `defaultValue` when the file, the section or the key is missing (or the file
// cannot be read). Section and key names match regardless of ASCII case; the
// value comes without the blanks around it and stops at a NUL byte. At most
// bufferSize - 1 bytes come back, and a double-byte CP932 character is never
// cut in half.
std::string readProfileString(const std::string& path, std::string_view section,
                              std::string_view key, std::string_view defaultValue,
                              std::size_t bufferSize = 255);

// A profile file's bytes read once, for looking up many keys with the same
// rules as readProfileString (a missing or unreadable file has no keys).
class ProfileSnapshot {
 public:
  static ProfileSnapshot read(const std::string& path);
  std::string get(std::string_view section, std::string_view key, std::string_view defaultValue,
                  std::size_t bufferSize = 255) const;

 private:
  std::string m_bytes;
};

// Stores "key=value" in `section` of the INI file at `path`: replaces an
// existing key's line, else appends the key after the last line of its section,
// else appends the section at the end of the file, creating the file if needed.
// Every other byte of the file stays as it was, and the file is replaced
// atomically. Fails, leaving the file untouched, when it cannot be read or
// written.
Status writeProfileString(const std::string& path, std::string_view section,
                          std::string_view key, std::string_view value);

}  // namespace morlavin::platform
