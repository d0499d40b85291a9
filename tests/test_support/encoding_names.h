// The short names case tables give encodings.
#pragma once

#include <map>
#include <string>

#include "conversion/encoding.h"

namespace morlavin::test {

inline conversion::EncodingChoice encodingChoiceNamed(const std::string& name) {
  using conversion::EncodingChoice;
  static const std::map<std::string, EncodingChoice> kChoices = {
      {"auto", EncodingChoice::kAuto},      {"sjis", EncodingChoice::kShiftJis},
      {"euc", EncodingChoice::kEucJp},      {"jis", EncodingChoice::kIso2022Jp},
      {"utf8", EncodingChoice::kUtf8},      {"utf16le", EncodingChoice::kUtf16Le},
      {"utf16be", EncodingChoice::kUtf16Be}};
  return kChoices.at(name);
}

inline conversion::Encoding encodingNamed(const std::string& name) {
  return *conversion::chosenEncoding(encodingChoiceNamed(name));
}

}  // namespace morlavin::test
