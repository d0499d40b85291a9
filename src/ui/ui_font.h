// The one font of every window: a Japanese UI face small enough that each
// caption fits the fixed box the layout gives it.
#pragma once

#include <functional>

class QFont;

namespace morlavin::ui {

// IPAPGothic at 12 pixels where installed, else another Japanese UI face,
// else the desktop's default at 12 pixels. The face is the same in every
// locale, whatever name the locale gives its family.
QFont windowFont();

// A Japanese face whose half-width characters are half as wide as the
// full-width ones, for text files whose columns line up with blanks; else
// the desktop's fixed-pitch face; at 13 pixels, where the face draws its
// underscores, which it drops at 12 in places.
QFont textFont();

// The largest pixel size from `from` down at which `fits(size)` holds, for a
// window whose boxes keep their size whatever face is installed; never below
// 8 pixels, where Japanese stops being readable.
int largestFittingPixelSize(int from, const std::function<bool(int)>& fits);

}  // namespace morlavin::ui
