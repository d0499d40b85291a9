// Any file as a settings file: reading never fails, and writing one key keeps
// every other line byte for byte and reads back what was written.
#include <cstdint>
#include <vector>

#include "fuzz_support.h"
#include "platform/profile_file.h"

using namespace morlavin;

namespace {

std::vector<std::string_view> linesOf(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const auto newline = text.find('\n');
    lines.push_back(text.substr(0, newline == std::string_view::npos ? text.size() : newline + 1));
    text.remove_prefix(lines.back().size());
  }
  return lines;
}

// Whether `after` is `before` changed in one place: lines inserted there, and
// at most one line of `before` rewritten (the key's line, or a last line that
// gained a line end because something was appended after it).
bool changedInOnePlace(const std::vector<std::string_view>& before, const std::vector<std::string_view>& after) {
  std::size_t prefix = 0;
  while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix]) ++prefix;
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
  // The first byte picks the key's spelling, so that found and new keys both occur.
  static const char* const kKeys[] = {"Version", "translator", "BGCOLOR", "Key", "a"};
  const char* key = kKeys[data[0] % 5];
  const std::string_view file(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::string path = fuzz::scratchDir() + "/Morlavin.ini";
  fuzz::writeBytes(path, file);

  const std::string value = platform::readProfileString(path, "Setting", key, "default");
  fuzz::check(value.size() <= 254, "a value longer than 254 bytes came back");
  fuzz::check(value.find('\0') == std::string::npos, "a value holds a NUL byte");

  if (!platform::writeProfileString(path, "Setting", key, "written").isOk()) fuzz::fail("write failed");
  const std::string after = fuzz::readBytes(path);
  fuzz::check(platform::readProfileString(path, "Setting", key, "") == "written",
              "the written value does not read back");
  fuzz::check(changedInOnePlace(linesOf(file), linesOf(after)), "a line other than the key's changed");
  return 0;
}
