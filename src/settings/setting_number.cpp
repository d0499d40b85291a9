// The numeric reading of setting texts.
#include "settings/setting_number.h"

#include <cfenv>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace morlavin::settings {

double parseSettingNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  const std::size_t start = i;
  bool anyDigit = false;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') { ++i; anyDigit = true; }
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') { ++i; anyDigit = true; }
  }
  if (!anyDigit) return 0.0;

  // from_chars wants at least one digit before an optional point; "5." and
  // ".5" are both numbers here.
  std::string digits(text.substr(start, i - start));
  if (digits.front() == '.') digits.insert(digits.begin(), '0');
  double value = 0.0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                            std::chars_format::fixed);
  (void)end;
  if (error == std::errc::result_out_of_range) {
    // Too many digits before the point for a double, or a fraction too small.
    value = digits.find_first_of("123456789") < digits.find('.')
                ? std::numeric_limits<double>::infinity()
                : 0.0;
  }
  return negative ? -value : value;
}

double roundHalfToEven(double value) {
  // nearbyint follows the rounding mode, which is to-nearest-even unless
  // somebody changed it; make that explicit rather than assumed.
  const int saved = std::fegetround();
  std::fesetround(FE_TONEAREST);
  const double rounded = std::nearbyint(value);
  std::fesetround(saved);
  return rounded;
}

std::optional<std::uint8_t> settingByte(std::string_view text) {
  const double rounded = roundHalfToEven(parseSettingNumber(text));
  if (!(rounded >= 0.0 && rounded <= 255.0)) return std::nullopt;
  return static_cast<std::uint8_t>(rounded);
}

}  // namespace morlavin::settings
