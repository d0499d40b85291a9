// Title import of any first line against a plain find-and-erase version of
// the removals, and the decoding the whole file's encoding asks for.
#include <cstdint>

#include "conversion/text_decoders.h"
#include "conversion/title_import.h"
#include "fuzz_support.h"
#include "platform/ascii.h"
#include "platform/cp932.h"

using namespace morlavin;

namespace {

void eraseAll(std::string& text, const std::string& pattern) {
  std::string lower = text;
  for (char& c : lower) c = platform::toLowerAscii(c);
  std::string lowerPattern = pattern;
  for (char& c : lowerPattern) c = platform::toLowerAscii(c);
  std::string out;
  std::size_t from = 0;
  for (std::size_t at; (at = lower.find(lowerPattern, from)) != std::string::npos;
       from = at + pattern.size()) {
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::string path = fuzz::scratchDir() + "/title.txt";
  fuzz::writeBytes(path, bytes);
  const auto title = conversion::importTitle(path);
  const conversion::Encoding encoding = fuzz::plainEncoding(bytes);
  const std::string text = fuzz::textOf(bytes, encoding);
  fuzz::check(title.ok() == !text.empty(), "a file with text has a first line");
  if (!title.ok()) return 0;

  fuzz::check(fuzz::validUtf8(*title), "decoding gives valid UTF-8");
  if (const auto encoded = platform::utf8ToCp932(*title)) {
    fuzz::check(platform::cp932ToUtf8(*encoded) == *title,
                "a title CP932 can hold comes back whole");
  }
  const std::string_view line = std::string_view(text).substr(0, text.find_first_of("\r\n"));
  fuzz::check(*title == reference(conversion::decodeLine(line, encoding)),
              "removals differ from the plain version");
  return 0;
}
