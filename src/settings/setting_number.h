// Numbers in the settings file are texts; this is how a text becomes a number.
#pragma once

#include <locale.h>

#include <cstdint>
#include <optional>
#include <string_view>

namespace morlavin::settings {

// Reads the decimal number at the start of `text`. The full stop is the
// decimal point whatever the locale. Grammar:
//
//   number  := blank* sign? digits? ('.' digits?)?   then anything
//   blank   := ' ' | '\t'
//   sign    := '+' | '-'
//
// Reading stops at the first character that cannot continue the number; a text
// without a leading number gives 0. Never fails; a number too large for a
// double gives infinity with its sign.
double parseSettingNumber(std::string_view text);

// The C locale, in which numbers of the settings file are read and written
// whatever the user's locale.
locale_t cNumbers();

// Rounds to the nearest whole number, an exact half to the even neighbour.
double roundHalfToEven(double value);

// The byte a stored text stands for: the number rounded half to even, or
// nullopt when that lies outside 0 to 255.
std::optional<std::uint8_t> settingByte(std::string_view text);

}  // namespace morlavin::settings
