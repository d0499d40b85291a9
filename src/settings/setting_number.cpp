// The numeric reading of setting texts.
#include "settings/setting_number.h"

#include <locale.h>

#include <cmath>
#include <cstdlib>
#include <string>

namespace morlavin::settings {

locale_t cNumbers() {
  static const locale_t c = ::newlocale(LC_ALL_MASK, "C", locale_t{});
  return c;
}

double parseSettingNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  const std::size_t start = i;
  const auto skipDigits = [&] {
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
  };
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  skipDigits();
  if (i < text.size() && text[i] == '.') {
    ++i;
    skipDigits();
  }
  // strtod_l in the C locale reads the number correctly rounded to nearest
  // (the program never changes the rounding mode), as from_chars would;
  // from_chars would bring in the maths library for the rounding mode, and
  // with it a library more to load at every start of the batch converter.
  // A text without digits reads as 0, too many digits for a double as an
  // infinity, a fraction too small for one as 0.
  return ::strtod_l(std::string(text.substr(start, i - start)).c_str(), nullptr, cNumbers());
}

double roundHalfToEven(double value) {
  // Worked out on the whole part, so that neither the caller's rounding mode
  // nor the maths library is involved. From 2^52 on every double is whole;
  // NaN and the infinities stay as they are.
  const double magnitude = std::fabs(value);
  if (!(magnitude < 0x1p52)) return value;
  auto whole = static_cast<long long>(magnitude);
  const double rest = magnitude - static_cast<double>(whole);  // exact
  if (rest > 0.5 || (rest == 0.5 && whole % 2 != 0)) ++whole;
  return std::copysign(static_cast<double>(whole), value);
}

std::optional<std::uint8_t> settingByte(std::string_view text) {
  const double rounded = roundHalfToEven(parseSettingNumber(text));
  if (!(rounded >= 0.0 && rounded <= 255.0)) return std::nullopt;
  return static_cast<std::uint8_t>(rounded);
}

}  // namespace morlavin::settings
