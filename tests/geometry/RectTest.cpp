#include <gtest/gtest.h>

#include "geometry/Rect.h"

namespace qv {
namespace {

TEST(T2DRect, isValidOnlyWithPositiveWidthAndHeight) {
  T2DRect fresh;
  EXPECT_FALSE(fresh.Valid);

  T2DRect r;
  r.SetBounds(0, 10, 5, 0);
  EXPECT_EQ(r.Width, 5.0);
  EXPECT_EQ(r.Height, 10.0);
  EXPECT_TRUE(r.Valid);
  EXPECT_EQ(r.TopLeft, T2DPoint(0, 10));
  EXPECT_EQ(r.BottomRight, T2DPoint(5, 0));

  r.SetBounds(3, 10, 3, 0);
  EXPECT_FALSE(r.Valid);
  EXPECT_EQ(r.Width, 0.0);

  r.SetBounds(0, 1, 5, 1);
  EXPECT_FALSE(r.Valid);
  EXPECT_EQ(r.Height, 0.0);

  // Top below bottom is stored as given.
  r.SetBounds(0, -2, 5, 3);
  EXPECT_FALSE(r.Valid);
  EXPECT_EQ(r.Height, -5.0);
  EXPECT_EQ(r.Top, -2.0);
}

}  // namespace
}  // namespace qv
