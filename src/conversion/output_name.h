// The name of the page written for a text file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace morlavin::conversion {

// Replaces every ".txt" in `inputPath` (ASCII case ignored, anywhere in the
// path, folder names included) by ".htm", then appends "l" when `htmlExtension`
// is set. nullopt when the path holds no ".txt": such a file is not converted.
std::optional<std::string> outputPathFor(std::string_view inputPath, bool htmlExtension);

}  // namespace morlavin::conversion
