// INI files are edited as byte ranges: only the one line that changes is
// rewritten, so comments, unknown keys and other sections survive untouched.
#include "platform/profile_file.h"

#include <cerrno>

#include "platform/cp932.h"
#include "platform/file_ops.h"

namespace morlavin::platform {
namespace {

// A CR that is not part of a CR LF counts as a blank, so that a line read
// and the same line written back are parsed alike.
constexpr std::string_view kBlanks = " \t\r";
constexpr std::string_view kNewLine = "\r\n";

std::string_view trim(std::string_view text) {
  const auto first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(kBlanks);
  return text.substr(first, last - first + 1);
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// Where a key lives, or would go, in a file's bytes.
struct KeyLocation {
  bool sectionFound = false;
  bool keyFound = false;
  std::size_t keyLineBegin = 0;  // the key's line, without its line end
  std::size_t keyLineEnd = 0;
  std::string_view value;        // trimmed, inside the file's bytes
  std::size_t insertAt = 0;      // just after the section's last non-blank line
  bool insertNeedsNewLine = false;  // that line is the file's last and has no line end
};

// Only the first section of the name counts, as with the Windows functions.
KeyLocation locate(std::string_view file, std::string_view section, std::string_view key) {
  KeyLocation where;
  bool inSection = false;
  bool sectionDone = false;
  std::size_t begin = 0;
  while (begin < file.size() && !sectionDone) {
    auto newline = file.find('\n', begin);
    const bool terminated = newline != std::string_view::npos;
    if (!terminated) newline = file.size();
    std::size_t end = newline;
    if (end > begin && file[end - 1] == '\r') --end;
    const std::size_t next = terminated ? newline + 1 : file.size();
    const std::string_view line = trim(file.substr(begin, end - begin));

    if (!line.empty() && line.front() == '[') {
      if (inSection) {
        sectionDone = true;
        break;
      }
      std::string_view name = line.substr(1);
      name = trim(name.substr(0, name.find(']')));
      if (equalsIgnoringAsciiCase(name, section)) {
        inSection = true;
        where.sectionFound = true;
        where.insertAt = next;
        where.insertNeedsNewLine = !terminated;
      }
    } else if (inSection && !line.empty()) {
      where.insertAt = next;
      where.insertNeedsNewLine = !terminated;
      const auto equals = line.find('=');
      if (!where.keyFound && equals != std::string_view::npos &&
          equalsIgnoringAsciiCase(trim(line.substr(0, equals)), key)) {
        where.keyFound = true;
        where.keyLineBegin = begin;
        where.keyLineEnd = end;
        where.value = trim(line.substr(equals + 1));
      }
    }
    begin = next;
  }
  return where;
}

// Cuts `value` to at most `limit` bytes without splitting a double-byte character.
std::string_view cutToLimit(std::string_view value, std::size_t limit) {
  if (value.size() <= limit) return value;
  std::size_t i = 0;
  while (i < limit) {
    const std::size_t width = isCp932LeadByte(static_cast<unsigned char>(value[i])) ? 2 : 1;
    if (i + width > limit) break;
    i += width;
  }
  return value.substr(0, i);
}

}  // namespace

ProfileSnapshot ProfileSnapshot::read(const std::string& path) {
  ProfileSnapshot snapshot;
  if (!readWholeFile(path, snapshot.m_bytes)) snapshot.m_bytes.clear();
  return snapshot;
}

std::string ProfileSnapshot::get(std::string_view section, std::string_view key,
                                 std::string_view defaultValue, std::size_t bufferSize) const {
  const std::size_t limit = bufferSize == 0 ? 0 : bufferSize - 1;
  const KeyLocation where = locate(m_bytes, section, key);
  std::string_view value = where.keyFound ? where.value : defaultValue;
  value = value.substr(0, value.find('\0'));
  return std::string(cutToLimit(value, limit));
}

std::string readProfileString(const std::string& path, std::string_view section,
                              std::string_view key, std::string_view defaultValue,
                              std::size_t bufferSize) {
  return ProfileSnapshot::read(path).get(section, key, defaultValue, bufferSize);
}

Status writeProfileString(const std::string& path, std::string_view section,
                          std::string_view key, std::string_view value) {
  std::string file;
  if (Status status = readWholeFile(path, file); !status && exists(path)) return status;

  const KeyLocation where = locate(file, section, key);
  std::string keyLine;
  keyLine.append(key).append("=").append(value);

  std::string updated;
  updated.reserve(file.size() + keyLine.size() + section.size() + 8);
  if (where.keyFound) {
    updated.append(file, 0, where.keyLineBegin).append(keyLine).append(file, where.keyLineEnd);
  } else if (where.sectionFound) {
    updated.append(file, 0, where.insertAt);
    if (where.insertNeedsNewLine) updated.append(kNewLine);
    updated.append(keyLine).append(kNewLine).append(file, where.insertAt);
  } else {
    updated = file;
    if (!updated.empty() && updated.back() != '\n') updated.append(kNewLine);
    updated.append("[").append(section).append("]").append(kNewLine);
    updated.append(keyLine).append(kNewLine);
  }
  return writeFileAtomically(path, updated);
}

}  // namespace morlavin::platform
