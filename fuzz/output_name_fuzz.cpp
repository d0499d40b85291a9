// The output name rule: the folders stay, and in the file name no ".txt" is
// left, every other byte is kept and the length is the same.
#include <cstdint>

#include "conversion/output_name.h"
#include "fuzz_support.h"
#include "platform/ascii.h"

using namespace morlavin;

namespace {

bool isTxtAt(std::string_view text, std::size_t i) {
  return i + 4 <= text.size() && text[i] == '.' && platform::toLowerAscii(text[i + 1]) == 't' &&
         platform::toLowerAscii(text[i + 2]) == 'x' && platform::toLowerAscii(text[i + 3]) == 't';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const bool html = data[0] & 1;
  const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
  const auto output = conversion::outputPathFor(input, html);

  const std::size_t slash = input.rfind('/');
  const std::size_t name = slash == std::string_view::npos ? 0 : slash + 1;
  bool hasTxt = false;
  for (std::size_t i = name; i < input.size(); ++i) hasTxt = hasTxt || isTxtAt(input, i);
  fuzz::check(output.has_value() == hasTxt, "refused exactly the paths without .txt");
  if (!output) return 0;
  fuzz::check(output->size() == input.size() + (html ? 1 : 0), "length");
  fuzz::check(output->compare(0, name, input.substr(0, name)) == 0, "folders kept");
  for (std::size_t i = name; i < input.size(); ++i)
    fuzz::check(!isTxtAt(*output, i), "a .txt is left in the name");
  for (std::size_t i = name; i < input.size();) {
    if (isTxtAt(input, i)) {
      fuzz::check(output->compare(i, 4, ".htm") == 0, "replaced with .htm");
      i += 4;
    } else {
      fuzz::check((*output)[i] == input[i], "other bytes kept");
      ++i;
    }
  }
  if (html) fuzz::check(output->back() == 'l', "l appended");
  return 0;
}
