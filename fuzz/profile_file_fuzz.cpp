// Any file as a settings file: reading never fails, writing one key keeps
// every other line byte for byte and reads back what was written, and writing
// several keys at once gives what writing them one at a time gives.
#include <cstdint>
#include <vector>

#include "fuzz_support.h"
#include "platform/profile_file.h"

using namespace morlavin;

namespace {

// Lines with their ends: CR LF, LF, or a CR alone.
std::vector<std::string_view> linesOf(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    auto end = text.find_first_of("\r\n");
    if (end == std::string_view::npos)
      end = text.size();
    else if (text.substr(end, 2) == "\r\n")
      end += 2;
    else
      end += 1;
    lines.push_back(text.substr(0, end));
    text.remove_prefix(end);
  }
  return lines;
}

// Whether `after` is `before` changed in one place: lines inserted there, and
// at most one line of `before` rewritten (the key's line, or a last line that
// gained a line end because something was appended after it).
bool changedInOnePlace(const std::vector<std::string_view>& before,
                       const std::vector<std::string_view>& after) {
  std::size_t prefix = 0;
  while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix])
    ++prefix;
  std::size_t suffix = 0;
  while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
         before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
    ++suffix;
  }
  return before.size() - prefix - suffix <= 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  // The first byte picks the keys, so that found and new keys both occur;
  // "アツ" differs from "アイ" only in a trail byte that ASCII folding would match.
  static const char* const kKeys[] = {"Version", "translator", "BGCOLOR",
                                      "Key",     "a",          "\x83\x41\x83\x63"};
  const unsigned pick = data[0];
  const char* key = kKeys[pick % 6];
  const std::string_view file(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::string path = fuzz::scratchDir() + "/Morlavin.ini";
  fuzz::writeBytes(path, file);

  // The value under `key` as the file now holds it.
  const auto stored = [&](std::string_view defaultValue) {
    const auto snapshot = platform::ProfileSnapshot::read(path);
    if (!snapshot.ok()) fuzz::fail("a regular file could not be read");
    return snapshot->get("Setting", key, defaultValue);
  };
  const std::string value = stored("default");
  fuzz::check(value.size() <= 254, "a value longer than 254 bytes came back");
  fuzz::check(value.find('\0') == std::string::npos, "a value holds a NUL byte");

  const platform::ProfileEdit written{key, "written"};
  if (!platform::writeProfileStrings(path, "Setting", {&written, 1}).ok())
    fuzz::fail("write failed");
  const std::string after = fuzz::readBytes(path);
  fuzz::check(stored("") == "written", "the written value does not read back");
  fuzz::check(changedInOnePlace(linesOf(file), linesOf(after)),
              "a line other than the key's changed");

  std::vector<platform::ProfileEdit> edits;
  static const char* const kValues[] = {"v0", "v1", "v2", "v3", "v4", "v5"};
  for (int i = 0; i < 6; ++i) {
    if ((pick >> i & 1) != 0) edits.push_back({kKeys[(i + pick / 64) % 6], kValues[i]});
  }
  if ((pick & 0x80) != 0) edits.push_back({"KEY", "again"});
  std::string oneByOne(file);
  for (const auto& edit : edits) oneByOne = platform::editProfile(oneByOne, "Setting", {&edit, 1});
  fuzz::check(platform::editProfile(file, "Setting", edits) == oneByOne,
              "several keys at once differ from one at a time");
  return 0;
}
