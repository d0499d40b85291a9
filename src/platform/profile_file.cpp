// INI files are edited as byte ranges: only the lines that change are
// rewritten, so comments, unknown keys and other sections survive untouched.
#include "platform/profile_file.h"

#include <algorithm>

#include "platform/ascii.h"
#include "platform/cp932.h"
#include "platform/file_ops.h"
#include "platform/texts.h"

namespace morlavin::platform {
namespace {

constexpr std::string_view kBlanks = " \t\x1A";
constexpr std::string_view kLineEnds = "\r\n";
constexpr std::string_view kNewLine = "\r\n";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view trim(std::string_view text) { return trimmed(text, kBlanks); }

// ASCII letters match in either case, but not as the trail byte of a
// double-byte character: "アイ" and "アツ" differ only in 0x43 and 0x63.
bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (isCp932LeadByte(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
    } else if (toLowerAscii(a[i]) != toLowerAscii(b[i])) {
      return false;
    }
  }
  return true;
}

std::size_t contentStart(std::string_view file) {
  return file.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
}

// One key's line in the section: the whole line without its line end, and
// the raw text after its equals sign.
struct KeyLine {
  std::size_t begin = 0;
  std::size_t end = 0;
  std::string_view value;
};

// Where new keys of the section go: just after its last non-blank line.
struct SectionEnd {
  bool found = false;
  std::size_t insertAt = 0;
  bool insertNeedsNewLine = false;  // that line is the file's last and has no line end
};

// Walks the first section named `section`, handing each key line to
// `onKey(name, line)`. The walk stops where that section ends.
template <typename OnKey>
SectionEnd walkSection(std::string_view file, std::string_view section, OnKey onKey) {
  SectionEnd where;
  bool inSection = false;
  for (std::size_t begin = contentStart(file); begin < file.size();) {
    // A plain loop: find_first_of looks each byte up in the set, which is
    // most of the time a large file takes.
    std::size_t end = begin;
    while (end < file.size() && file[end] != '\r' && file[end] != '\n') ++end;
    const bool terminated = end < file.size();
    std::size_t next = terminated ? end + 1 : end;
    if (terminated && file[end] == '\r' && next < file.size() && file[next] == '\n') ++next;
    const std::string_view line = trim(file.substr(begin, end - begin));

    if (!line.empty() && line.front() == '[') {
      if (inSection) break;
      std::string_view name = line.substr(1);
      name = trim(name.substr(0, name.find(']')));
      if (sameName(name, section)) {
        inSection = true;
        where = {true, next, !terminated};
      }
    } else if (inSection && !line.empty()) {
      where.insertAt = next;
      where.insertNeedsNewLine = !terminated;
      const auto equals = line.find('=');
      if (equals != std::string_view::npos) {
        const std::size_t valueBegin =
            static_cast<std::size_t>(line.data() - file.data()) + equals + 1;
        onKey(trim(line.substr(0, equals)),
              KeyLine{begin, end, file.substr(valueBegin, end - valueBegin)});
      }
    }
    begin = next;
  }
  return where;
}

// A value as it is read: up to a NUL byte, without the blanks around it and
// without one pair of matching quotes around it.
std::string_view valueOf(std::string_view raw) {
  std::string_view value = trim(raw.substr(0, raw.find('\0')));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return value;
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

Result<ProfileSnapshot> ProfileSnapshot::read(const std::string& path) {
  ProfileSnapshot snapshot;
  Result<std::string> bytes = readWholeFile(path);
  if (bytes.ok()) {
    snapshot.m_bytes = std::move(bytes).value();
  } else if (bytes.status().code() != StatusCode::kNotFound) {
    return bytes.status();
  }
  return snapshot;
}

std::vector<std::string> ProfileSnapshot::getAll(std::string_view section,
                                                 std::span<const ProfileLookup> keys,
                                                 std::size_t bufferSize) const {
  std::vector<std::string_view> values(keys.size());
  std::vector<bool> found(keys.size(), false);
  walkSection(m_bytes, section, [&](std::string_view name, const KeyLine& line) {
    for (std::size_t i = 0; i < keys.size(); ++i) {
      if (!found[i] && sameName(name, keys[i].key)) {
        found[i] = true;
        values[i] = valueOf(line.value);
      }
    }
  });
  const std::size_t limit = bufferSize == 0 ? 0 : bufferSize - 1;
  std::vector<std::string> result;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    std::string_view value = found[i] ? values[i] : keys[i].defaultValue;
    if (!found[i]) value = value.substr(0, value.find('\0'));
    result.emplace_back(cutToLimit(value, limit));
  }
  return result;
}

std::string ProfileSnapshot::get(std::string_view section, std::string_view key,
                                 std::string_view defaultValue, std::size_t bufferSize) const {
  const ProfileLookup lookup{key, defaultValue};
  return std::move(getAll(section, {&lookup, 1}, bufferSize).front());
}

std::string editProfile(std::string_view file, std::string_view section,
                        std::span<const ProfileEdit> edits) {
  // A key given twice is stored once, where its first edit puts it, with the
  // last edit's spelling and value, as a second write over the first would.
  struct Pending {
    ProfileEdit edit;
    bool found = false;
    KeyLine line;
  };
  std::vector<Pending> pending;
  for (const ProfileEdit& edit : edits) {
    const auto same = std::find_if(pending.begin(), pending.end(), [&](const Pending& p) {
      return sameName(p.edit.key, edit.key);
    });
    if (same != pending.end())
      same->edit = edit;
    else
      pending.push_back({edit, false, {}});
  }
  const SectionEnd where =
      walkSection(file, section, [&](std::string_view name, const KeyLine& line) {
        for (Pending& p : pending) {
          if (!p.found && sameName(name, p.edit.key)) {
            p.found = true;
            p.line = line;
          }
        }
      });

  std::vector<const Pending*> replaced;
  std::string added;
  for (const Pending& p : pending) {
    if (p.found)
      replaced.push_back(&p);
    else
      added.append(p.edit.key).append("=").append(p.edit.value).append(kNewLine);
  }
  std::sort(replaced.begin(), replaced.end(),
            [](const Pending* a, const Pending* b) { return a->line.begin < b->line.begin; });

  std::string updated;
  std::size_t copied = 0;
  for (const Pending* p : replaced) {
    updated.append(file.substr(copied, p->line.begin - copied));
    updated.append(p->edit.key).append("=").append(p->edit.value);
    copied = p->line.end;
  }
  if (added.empty()) {
    updated.append(file.substr(copied));
  } else if (where.found) {
    updated.append(file.substr(copied, where.insertAt - copied));
    if (where.insertNeedsNewLine) updated.append(kNewLine);
    updated.append(added).append(file.substr(where.insertAt));
  } else {
    updated.append(file.substr(copied));
    const bool lastLineOpen =
        file.size() > contentStart(file) && kLineEnds.find(file.back()) == std::string_view::npos;
    if (lastLineOpen) updated.append(kNewLine);
    updated.append("[").append(section).append("]").append(kNewLine).append(added);
  }
  return updated;
}

Status writeProfileStrings(const std::string& path, std::string_view section,
                           std::span<const ProfileEdit> edits) {
  for (const ProfileEdit& edit : edits) {
    if (edit.key.find_first_of(kLineEnds) != std::string_view::npos ||
        edit.value.find_first_of(kLineEnds) != std::string_view::npos) {
      return Status::error(StatusCode::kBadInput, texts::files::lineEndInValue(edit.key));
    }
  }
  const Result<ProfileSnapshot> file = ProfileSnapshot::read(path);
  if (!file.ok()) return file.status().rephrased(texts::files::cannotReadToUpdate(path));
  return writeFileAtomically(path, editProfile(file->bytes(), section, edits));
}

}  // namespace morlavin::platform
