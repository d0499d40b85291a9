// Title import: the first line of a file, decoded as the whole file's
// encoding asks; the rest of the file is read only when the line is not ASCII.
#include "conversion/title_import.h"

#include <algorithm>
#include <memory>
#include <new>

#include "conversion/line_splitter.h"
#include "platform/ascii.h"
#include "platform/cp932.h"
#include "platform/file_ops.h"
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

// Whether the whole file, of which `line` is the first line and the rest is
// still unread in `file`, is UTF-8. An ASCII line reads the same either way;
// otherwise the rest of the file decides, read only as far as needed.
bool wholeFileIsUtf8(std::string_view line, platform::InputFile& file, EncodingDetector& detector) {
  const bool ascii = std::all_of(line.begin(), line.end(), [](char c) { return (c & 0x80) == 0; });
  if (ascii) return false;
  const std::size_t size = LineSplitter::kDefaultBufferSize;
  const std::unique_ptr<char[]> chunk(new char[size]);
  for (std::size_t got; !detector.decided() && (got = file.read(chunk.get(), size)) > 0;) {
    detector.feed(std::string_view(chunk.get(), got));
  }
  return detector.current() == Encoding::kUtf8;
}

}  // namespace

Result<std::string> importTitle(const std::string& path, EncodingChoice encoding) {
  const bool hidden = path.substr(path.rfind('/') + 1).starts_with('.');
  if (hidden) return Status::error(StatusCode::kBadInput, "");
  try {
    platform::InputFile file;
    if (Status status = file.open(path); !status) return status;
    EncodingDetector detector;
    // A small buffer: only the first line is wanted, however large the file.
    LineSplitter lines(file, 4096, [&detector](std::string_view chunk) { detector.feed(chunk); },
                       encoding != EncodingChoice::kShiftJis);
    std::string_view line;
    if (!lines.next(line)) {
      // Zero bytes, or nothing readable: no first line at all.
      return file.error() ? Status::error(StatusCode::kBadInput, "") : file.error();
    }
    const bool utf8 = encoding == EncodingChoice::kAuto ? wholeFileIsUtf8(line, file, detector)
                                                       : encoding == EncodingChoice::kUtf8;
    return stripTitleTags(utf8 ? repairUtf8(line) : platform::cp932ToUtf8(line));
  } catch (const std::bad_alloc&) {
    return Status::fromErrno(std::string(texts::files::kCannotRead), ENOMEM);
  }
}

}  // namespace morlavin::conversion
