// A page title from a file's first line, with the common heading, font-size
// and line-break tags taken out.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "conversion/text_encoding.h"

namespace morlavin::conversion {

// Removes, in order, every "<BR>", "<Hn>"/"</Hn>" (n = 1 to 7) and the
// "<FONT SIZE=…>"/"</FONT>" forms from `line`, ignoring ASCII case. Each
// removal is one left-to-right pass; text it brings together stays.
std::string stripTitleTags(std::string_view line);

// The title for the file at `path` (UTF-8): its first line, decoded from the
// file's encoding (the whole file decides, as for its page, so a first line
// that is not ASCII may take a read to the end), with the tags stripped.
// nullopt, meaning "leave the title as it is", when the path is empty, names no
// regular file or a hidden one (a name starting with "."), cannot be read, the
// file is empty, or its first line does not fit in memory.
std::optional<std::string> importTitle(const std::string& path,
                                       EncodingChoice encoding = EncodingChoice::kAuto);

}  // namespace morlavin::conversion
