// Lengths kept at 96 DPI, scaled for the screen and back: rounded as MulDiv
// rounds, and held within LONG where MulDiv would fail.
#include <gtest/gtest.h>

#include <climits>

#include "common/dpi_scale.h"

namespace {

TEST(DpiScale, LengthsAt96DpiScaleRoundedAndHeldWithinLong) {
  const struct {
    LONG length;
    UINT dpi;
    LONG scaled;
  } cases[] = {{600, 96, 600},
               {600, 144, 900},
               {21, 144, 32},
               {-14, 144, -21},
               {21, 120, 26},
               {16, 192, 32},
               {LONG_MAX, 144, LONG_MAX},
               {LONG_MIN, 144, LONG_MIN},
               {LONG_MAX - 10, 96, LONG_MAX - 10}};
  for (const auto& c : cases)
    EXPECT_EQ(ScaleToDpi(c.length, c.dpi), c.scaled) << c.length << " at " << c.dpi;
}

TEST(DpiScale, LengthsComeBackAt96Dpi) {
  for (UINT dpi : {96u, 120u, 144u, 192u})
    for (LONG length : {0, 1, 21, 400, 601, -14})
      EXPECT_EQ(ScaleFromDpi(ScaleToDpi(length, dpi), dpi), length) << length << " at " << dpi;
}

TEST(DpiScale, FontCellSizesMoveBetweenDpis) {
  LOGFONTA font = {};
  font.lfHeight = -14;
  font.lfWidth = 6;
  font.lfWeight = FW_BOLD;
  const LOGFONTA scaled = FontAtDpi(font, kDefaultDpi, 144);
  EXPECT_EQ(scaled.lfHeight, -21);
  EXPECT_EQ(scaled.lfWidth, 9);
  EXPECT_EQ(scaled.lfWeight, FW_BOLD);
  EXPECT_EQ(FontAtDpi(scaled, 144, kDefaultDpi).lfHeight, -14);
}

}  // namespace
