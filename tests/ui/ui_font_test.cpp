#include "ui/ui_font.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QStringList>
#include <algorithm>

namespace morlavin::ui {
namespace {

// Run once in a Japanese session and once in C.UTF-8: fontconfig names the
// face "IPA Pゴシック" in the first and "IPAPGothic" in the second, and both
// must give the same proportional face at the size the layouts are made for.
TEST(WindowFont, IsTheProportionalIpaFaceInEveryLocale) {
  const QFont font = windowFont();
  const QFontInfo used(font);
  EXPECT_TRUE(QStringList({QStringLiteral("IPAPGothic"), QStringLiteral("IPA Pゴシック")})
                  .contains(used.family()))
      << used.family().toStdString();
  EXPECT_FALSE(used.fixedPitch());
  EXPECT_EQ(used.pixelSize(), 12);
}

// A face too wide for the boxes shrinks to the largest size at which the
// captions fit, and no further than 8 pixels.
TEST(WindowFont, ShrinksToTheLargestSizeThatFits) {
  for (const int limit : {12, 9, 7})
    EXPECT_EQ(largestFittingPixelSize(12, [limit](int size) { return size <= limit; }),
              std::max(limit, 8));
}

}  // namespace
}  // namespace morlavin::ui
