// Keys of one section of an INI ("profile") file, read and written on the
// file's raw bytes, so that a file in any encoding keeps every byte it holds.
//
// A line ends at CR LF, LF or a CR alone. Blanks are spaces, tabs and ^Z.
// A UTF-8 byte-order mark at the start of the file is skipped. Section and key
// names match regardless of ASCII case, where a CP932 lead byte and the byte
// after it count as one character that matches only itself. Only the first
// section of a name counts, and in it the first line of a key.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace morlavin::platform {

// One key to look up, and what it gives when it is missing.
struct ProfileLookup {
  std::string_view key;
  std::string_view defaultValue;
};

// A profile file's bytes read once, for looking up many keys.
class ProfileSnapshot {
 public:
  // A file without keys.
  ProfileSnapshot() = default;
  // Reads the file at `path`; a missing file has no keys. Anything but a
  // regular file is refused without being opened, so a FIFO or a device never
  // blocks; a file that cannot be read is a failure that says why.
  static Result<ProfileSnapshot> read(const std::string& path);

  const std::string& bytes() const { return m_bytes; }

  // The value stored under `key` in `section`, or `defaultValue` when the
  // section or the key is missing. The value stops at a NUL byte, comes
  // without the blanks around it and without one pair of matching quotes
  // (double or single) around it. At most bufferSize - 1 bytes come back, and
  // a double-byte CP932 character is never cut in half.
  std::string get(std::string_view section, std::string_view key, std::string_view defaultValue,
                  std::size_t bufferSize = 255) const;
  // The values of all `keys`, in their order, from one walk of the file.
  std::vector<std::string> getAll(std::string_view section, std::span<const ProfileLookup> keys,
                                  std::size_t bufferSize = 255) const;

 private:
  std::string m_bytes;
};

// One key to store, with its value. Neither holds a line end, and the key
// holds no equals sign and no blanks around it.
struct ProfileEdit {
  std::string_view key;
  std::string_view value;
};

// `file` with every edit stored in `section`, the result being the same as
// storing them one after the other: an existing key's line is replaced by
// "key=value" (its line end stays), a new key is added after the last line of
// its section, in the order given, and a missing section is appended at the
// end of the file with the new keys. Every other byte stays as it was. The
// file is walked once, whatever the number of edits.
std::string editProfile(std::string_view file, std::string_view section,
                        std::span<const ProfileEdit> edits);

// Stores every edit in `section` of the INI file at `path` (see editProfile):
// the file is read once and replaced once, atomically, creating it if needed.
// Fails, leaving the file untouched, when it cannot be read or written, or
// when a key or value holds a line end.
Status writeProfileStrings(const std::string& path, std::string_view section,
                           std::span<const ProfileEdit> edits);

}  // namespace morlavin::platform
