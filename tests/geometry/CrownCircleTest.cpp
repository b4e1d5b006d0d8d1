// The crown circles: where a circle's points lie and in which order, which circles have none,
// and the list's refusal of an index it does not hold.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "geometry/Polygons.h"

namespace qv {
namespace {

TEST(CrownCircle, pointsRunCounterClockwiseFromDueEastOnTheRadius) {
  T2DPolygons list;
  list.Add({10.0, 20.0, 2.0, 7.5, 8, true});
  list.Add({0.0, 0.0, 3.0, 7.5, 6, true});
  const TCrownCircle& c = list.Circle(0);
  ASSERT_EQ(c.Points(), 8);
  std::vector<T2DPoint> points(8);
  c.PlacePoints(points.data());
  EXPECT_EQ(points[0], T2DPoint(12.0, 20.0));
  for (int i = 0; i < 8; ++i) {
    const double angle = std::atan2(points[i].Y - 20.0, points[i].X - 10.0);
    EXPECT_NEAR(std::hypot(points[i].X - 10.0, points[i].Y - 20.0), 2.0, 1e-12) << i;
    EXPECT_NEAR(std::remainder(angle - 2 * std::numbers::pi * i / 8, 2 * std::numbers::pi), 0,
                1e-12)
        << i;
  }
  // A second point count makes its own table; the first comes back the same.
  std::vector<T2DPoint> six(6), again(8);
  list.Circle(1).PlacePoints(six.data());
  EXPECT_NEAR(six[1].Y, 3.0 * std::sqrt(3.0) / 2.0, 1e-12);
  c.PlacePoints(again.data());
  EXPECT_EQ(again, points);
  EXPECT_DOUBLE_EQ(DiscArea(2.0), 4.0 * std::numbers::pi);
  for (const double r : {0.0, -1.0, std::nan("")})
    EXPECT_EQ((TCrownCircle{0, 0, r, 5.0, 36, true}.Points()), 0) << r;
  EXPECT_EQ((TCrownCircle{0, 0, 1.0, 5.0, -1, true}.Points()), 0);
  EXPECT_THROW(list.Circle(2), EtdArrayException);
  EXPECT_THROW(list.Circle(-1), EtdArrayException);
}

}  // namespace
}  // namespace qv
