#include "settings/settings_record.h"

#include <gtest/gtest.h>

namespace morlavin::settings {
namespace {

TEST(SettingsRecord, ColourValuesByNameAndByComponents) {
  const struct {
    std::uint8_t manual, position, r, g, b;
    const char* value;
  } cases[] = {
      {0, 0, 1, 2, 3, "white"},      {0, 75, 0, 0, 0, "black"},     {0, 20, 0, 0, 0, "deenpink"},
      {0, 27, 0, 0, 0, "dardorange"}, {0, 41, 0, 0, 0, "olevedreb"}, {0, 73, 0, 0, 0, "srategray"},
      {1, 9, 255, 255, 255, "#FFFFFF"}, {1, 0, 255, 128, 0, "#FF8000"}, {2, 0, 10, 0, 0, "#0A0000"},
      {1, 0, 0, 0, 128, "#000080"},  {0, 76, 0, 0, 0, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(htmlColourValue(c.manual, c.position, c.r, c.g, c.b), c.value) << c.value;
  }
}

TEST(SettingsRecord, ResetColoursTouchesOnlyTheTenColourFields) {
  SettingsRecord record;
  record.Translator = "/bin/tr";
  record.CheckBackground = 1;
  record.HTMLBackGround = "b.gif";
  record.TextIgnoreTags = 1;
  record.ManualBgcolorSet = 1;
  record.Bgcolor = 5;
  record.HTMLTextcolorG = 9;
  resetColours(record);

  SettingsRecord expected = defaultSettings();
  expected.Version = 0.0f;
  expected.Translator = "/bin/tr";
  expected.CheckBackground = 1;
  expected.HTMLBackGround = "b.gif";
  expected.TextIgnoreTags = 1;
  EXPECT_EQ(record, expected);
}

}  // namespace
}  // namespace morlavin::settings
