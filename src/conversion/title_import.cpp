// Title import: the first line of a file, decoded as the whole file's
// encoding asks; the rest of the file is read only when the line is not ASCII.
#include "conversion/title_import.h"

#include <algorithm>
#include <memory>

#include "conversion/line_splitter.h"
#include "conversion/text_decoders.h"
#include "platform/ascii.h"
#include "platform/cp932.h"
#include "platform/file_ops.h"
#include "platform/paths.h"
#include "platform/texts.h"

namespace morlavin::conversion {
namespace {

void removeAll(std::string& text, std::string_view pattern) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    if (platform::holdsIgnoringAsciiCase(text, i, pattern)) {
      i += pattern.size();
    } else {
      out += text[i++];
    }
  }
  text = std::move(out);
}

}  // namespace

std::string stripTitleTags(std::string_view line) {
  std::string title(line);
  removeAll(title, "<BR>");
  for (char n = '1'; n <= '7'; ++n) {
    removeAll(title, std::string("<H") + n + ">");
    removeAll(title, std::string("</H") + n + ">");
  }
  for (int n = 1; n <= 7; ++n) {
    const std::string digit = std::to_string(n);
    const std::string relative = (n < 4 ? "-" : "+") + std::to_string(n < 4 ? 4 - n : n - 4);
    removeAll(title, "<FONT SIZE=" + digit + ">");
    if (n != 4) removeAll(title, "<FONT SIZE=" + relative + ">");
    removeAll(title, "<FONT SIZE=\"" + digit + "\">");
    if (n != 4) removeAll(title, "<FONT SIZE=\"" + relative + "\">");
    removeAll(title, "</FONT>");
  }
  return title;
}

namespace {

// The encoding of the whole file, of which `line` is the first line and the
// rest is still unread in `file`. A line of ASCII without an escape sequence
// reads the same in every encoding whose lines come as bytes; otherwise the
// rest of the file decides, read only as far as needed. UTF-16 is known from
// the file's start, which the splitter has read.
// A read that fails ends the look: what was read decides.
Encoding wholeFileEncoding(std::string_view line, platform::InputFile& file,
                           EncodingDetector& detector) {
  const bool plain =
      std::all_of(line.begin(), line.end(), [](char c) { return (c & 0x80) == 0 && c != '\x1B'; });
  if (plain) {
    const Encoding encoding = detector.current();
    return isDecoded(encoding) && encoding != Encoding::kIso2022Jp ? encoding : Encoding::kShiftJis;
  }
  const std::size_t size = LineSplitter::kDefaultBufferSize;
  const std::unique_ptr<char[]> chunk(new char[size]);
  while (!detector.decided()) {
    const std::size_t got = file.read(chunk.get(), size).value_or(0);
    if (got == 0) break;
    detector.feed(std::string_view(chunk.get(), got));
  }
  return detector.current();
}

}  // namespace

Result<std::string> importTitle(const std::string& path, EncodingChoice choice) {
  const bool hidden = platform::fileNameOf(path).starts_with('.');
  if (hidden) return Status::silent(StatusCode::kBadInput);
  platform::InputFile file;
  if (Status status = file.open(path); !status.ok()) return status;
  EncodingDetector detector;
  LineSplitter::ChunkObserver observer;
  if (choice == EncodingChoice::kAuto)
    observer = [&detector](std::string_view chunk) { detector.feed(chunk); };
  // A small buffer: only the first line is wanted, however large the file.
  LineSplitter lines(file, 4096, choice, std::move(observer));
  std::string_view line;
  const Result<bool> first = lines.next(line);
  if (!first.ok()) return first.status();
  if (!*first) return Status::silent(StatusCode::kBadInput);  // zero bytes: no first line at all
  const std::optional<Encoding> chosen = chosenEncoding(choice);
  const Encoding encoding = chosen ? *chosen : wholeFileEncoding(line, file, detector);
  return stripTitleTags(decodeLine(line, encoding));
}

}  // namespace morlavin::conversion
