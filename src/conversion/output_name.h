// The name of the page written for a text file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace morlavin::conversion {

// Replaces every ".txt" in the file name of `inputPath` (its last component;
// ASCII case ignored, anywhere in the name) by ".htm", then appends "l" when
// `htmlExtension` is set. nullopt when the file name holds no ".txt": such a
// file is not converted. Folder names are never changed.
std::optional<std::string> outputPathFor(std::string_view inputPath, bool htmlExtension);

}  // namespace morlavin::conversion
