// The numeric reading of setting texts against strtod on the same grammar.
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "fuzz_support.h"
#include "settings/setting_number.h"

using namespace morlavin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const double value = settings::parseSettingNumber(text);

  // The reference: pick out the number by the grammar, then let strtod read it.
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  std::string number;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) number += text[i++];
  bool digits = false;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    number += text[i++];
    digits = true;
  }
  if (i < text.size() && text[i] == '.') {
    number += text[i++];
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
      number += text[i++];
      digits = true;
    }
  }
  std::setlocale(LC_NUMERIC, "C");
  const double expected = digits ? std::strtod(number.c_str(), nullptr) : 0.0;
  fuzz::check(value == expected || (std::isinf(value) && std::isinf(expected) && value == expected),
              "parseSettingNumber differs from strtod");

  const auto byte = settings::settingByte(text);
  const double rounded = std::nearbyint(expected);
  fuzz::check(byte.has_value() == (rounded >= 0 && rounded <= 255), "settingByte range");
  if (byte) fuzz::check(*byte == rounded, "settingByte value");
  return 0;
}
