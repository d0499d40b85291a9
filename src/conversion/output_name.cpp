// The output name rule.
#include "conversion/output_name.h"

#include "platform/ascii.h"
#include "platform/paths.h"

namespace morlavin::conversion {
namespace {

bool isTxtAt(std::string_view text, std::size_t i) {
  return platform::holdsIgnoringAsciiCase(text, i, ".txt");
}

}  // namespace

std::optional<std::string> outputPathFor(std::string_view inputPath, bool htmlExtension) {
  // Only the file name counts: the page is always written beside its text,
  // never into some other folder whose name happens to hold ".txt".
  const std::size_t nameStart = platform::folderPrefixOf(inputPath).size();
  std::string output(inputPath.substr(0, nameStart));
  bool replaced = false;
  for (std::size_t i = nameStart; i < inputPath.size();) {
    if (isTxtAt(inputPath, i)) {
      output += ".htm";
      i += 4;
      replaced = true;
    } else {
      output += inputPath[i++];
    }
  }
  if (!replaced) return std::nullopt;
  if (htmlExtension) output += 'l';
  return output;
}

}  // namespace morlavin::conversion
