// Title import of any first line against a plain find-and-erase version of
// the removals, and the CP932 decoding that comes before it.
#include <cstdint>

#include "conversion/title_import.h"
#include "fuzz_support.h"
#include "platform/cp932.h"

using namespace morlavin;

namespace {

void eraseAll(std::string& text, const std::string& pattern) {
  std::string lower = text;
  for (char& c : lower) c = fuzz::lowerAscii(c);
  std::string lowerPattern = pattern;
  for (char& c : lowerPattern) c = fuzz::lowerAscii(c);
  std::string out;
  std::size_t from = 0;
  for (std::size_t at; (at = lower.find(lowerPattern, from)) != std::string::npos; from = at + pattern.size()) {
    out.append(text, from, at - from);
  }
  out.append(text, from);
  text = out;
}

std::string reference(std::string text) {
  eraseAll(text, "<BR>");
  for (int n = 1; n <= 7; ++n) {
    eraseAll(text, "<H" + std::to_string(n) + ">");
    eraseAll(text, "</H" + std::to_string(n) + ">");
  }
  const char* relative[] = {"", "-3", "-2", "-1", "", "+1", "+2", "+3"};
  for (int n = 1; n <= 7; ++n) {
    const std::string d = std::to_string(n);
    eraseAll(text, "<FONT SIZE=" + d + ">");
    if (n != 4) eraseAll(text, std::string("<FONT SIZE=") + relative[n] + ">");
    eraseAll(text, "<FONT SIZE=\"" + d + "\">");
    if (n != 4) eraseAll(text, std::string("<FONT SIZE=\"") + relative[n] + "\">");
    eraseAll(text, "</FONT>");
  }
  return text;
}

bool validUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    const std::size_t length = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
    if (length == 0 || i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::string path = fuzz::scratchDir() + "/title.txt";
  fuzz::writeBytes(path, bytes);
  const auto title = conversion::importTitle(path);
  fuzz::check(title.has_value() == !bytes.empty(), "a file with bytes has a first line");
  if (!title) return 0;

  const std::string decoded = platform::cp932ToUtf8(bytes.substr(0, bytes.find('\r')));
  fuzz::check(validUtf8(decoded), "decoding gives valid UTF-8");
  fuzz::check(*title == reference(decoded), "removals differ from the plain version");
  if (const auto encoded = platform::utf8ToCp932(*title)) {
    fuzz::check(platform::cp932ToUtf8(*encoded) == *title, "a title CP932 can hold comes back whole");
  }
  return 0;
}
