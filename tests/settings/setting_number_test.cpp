#include "settings/setting_number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace morlavin::settings {
namespace {

TEST(SettingNumber, ReadsTheLeadingNumberAndStopsAtTheFirstMisfit) {
  const struct {
    std::string text;
    double value;
  } cases[] = {
      {"75", 75},          {"  \t 12", 12},    {"+7abc", 7},        {"-3", -3},
      {"1.62", 1.62},      {"1.6.2", 1.6},     {".5", 0.5},         {"5.", 5},
      {"", 0},             {"abc", 0},         {"-", 0},            {".", 0},
      {"1e2", 1},          {"1,5", 1},         {"12 3", 12},        {"\xEF\xBC\x91", 0},  // full-width 1
      {"00255", 255},      {"- 5", 0},         {std::string("4\0 5", 4), 4},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(parseSettingNumber(c.text), c.value) << c.text;
  EXPECT_TRUE(std::isinf(parseSettingNumber(std::string(400, '9'))));
  EXPECT_EQ(parseSettingNumber("0." + std::string(400, '0') + "1"), 0.0);
}

TEST(SettingNumber, BytesRoundHalfToEvenAndRefuseWhatIsNoByte) {
  const struct {
    const char* text;
    std::optional<std::uint8_t> value;
  } cases[] = {
      {"0.5", 0},     {"1.5", 2},       {"2.5", 2},      {"254.5", 254},  {"255.5", std::nullopt},
      {"255.49", 255}, {"-0.4", 0},     {"-0.5", 0},     {"-0.6", std::nullopt},
      {"256", std::nullopt}, {"99999999999999999999", std::nullopt}, {"garbage", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(settingByte(c.text), c.value) << c.text;
}

}  // namespace
}  // namespace morlavin::settings
