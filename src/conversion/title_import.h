// A page title from a file's first line, with the common heading, font-size
// and line-break tags taken out.
#pragma once

#include <string>
#include <string_view>

#include "conversion/encoding.h"
#include "platform/status.h"

namespace morlavin::conversion {

// Removes, in order, every "<BR>", "<Hn>"/"</Hn>" (n = 1 to 7) and the
// "<FONT SIZE=…>"/"</FONT>" forms from `line`, ignoring ASCII case. Each
// removal is one left-to-right pass; text it brings together stays.
std::string stripTitleTags(std::string_view line);

// The title for the file at `path` (UTF-8): its first line, decoded from the
// file's encoding (the whole file decides, as for its page, so a first line
// that is not ASCII may take a read to the end), with the tags stripped.
// A failure means "leave the title as it is"; nobody is told of it. It is the
// file's own when the path is empty, names no regular file or cannot be read,
// and a silent kBadInput for a hidden file (a name starting with ".") or one
// without a line. A first line larger than memory throws std::bad_alloc.
Result<std::string> importTitle(const std::string& path,
                                EncodingChoice encoding = EncodingChoice::kAuto);

}  // namespace morlavin::conversion
