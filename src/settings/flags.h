// The two rules by which an on/off field of the settings is read. The dialog
// writes only 0 and 1, but a settings file edited by hand may hold any byte,
// and each field has always been read by one of these rules.
#pragma once

#include <cstdint>

namespace morlavin::settings {

// On only at exactly 1: any other value leaves the option off.
constexpr bool isOn(std::uint8_t flag) { return flag == 1; }

// Set at any value but 0.
constexpr bool isSet(std::uint8_t flag) { return flag != 0; }

}  // namespace morlavin::settings
