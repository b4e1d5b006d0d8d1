// T2DPolygon0: the point ring, its running extent and centroid, the cached area, and circles.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "geometry/Polygon0.h"
#include "geometry/TdObjLst.h"

namespace qv {
namespace {

TEST(T2DPolygon0, keepsItsPointsInARingWithRunningCentroidAndExtent) {
  T2DPolygon0 p;
  EXPECT_EQ(p.First(), T2DPolygon0::kNoPoint);
  EXPECT_EQ(p.Centroid, T2DPoint(0, 0));
  EXPECT_FALSE(p.AreaValid());
  p.AddPoint(2, 0);
  EXPECT_EQ(p.MinX, 2.0);
  EXPECT_EQ(p.MaxX, 2.0);
  p.AddPoint(4, 2);
  p.AddPoint(0, 4);
  EXPECT_EQ(p.Count(), 3);
  EXPECT_EQ(p.MinX, 0.0);
  EXPECT_EQ(p.MaxX, 4.0);
  EXPECT_DOUBLE_EQ(p.Centroid.X, 2.0);
  EXPECT_DOUBLE_EQ(p.Centroid.Y, 2.0);
  EXPECT_EQ(p.First(), 0);
  EXPECT_EQ(p.Last(), 2);
  EXPECT_EQ(p.Next(2), 0);
  EXPECT_EQ(p.Prior(0), 2);
  EXPECT_EQ(p.Prior(p.Next(1)), 1);
  // Following Prior from First comes back after Count steps.
  int steps = 0;
  int i = p.First();
  do {
    i = p.Prior(i);
    ++steps;
  } while (i != p.First());
  EXPECT_EQ(steps, 3);
}

TEST(T2DPolygon0, pointAtCountWrapsToTheFirstPoint) {
  T2DPolygon0 p;
  p.AddPoint(1, 2);
  p.AddPoint(3, 4);
  EXPECT_EQ(p.Point(2), T2DPoint(1, 2));
  EXPECT_EQ(p.Point(1), T2DPoint(3, 4));
  try {
    p.Point(3);
    FAIL();
  } catch (const EtdArrayException& e) {
    EXPECT_STREQ(e.what(), "Index is out of bounds ([TDObjLst] T2DPolygon0.olGetItem Objname: "
                           "-unnamed- index: 3)");
  }
  EXPECT_THROW(p.Point(-1), EtdArrayException);
  const T2DPolygon0 empty;
  EXPECT_THROW(empty.Point(0), EtdArrayException);
}

TEST(T2DPolygon0, areaIsSignedCachedAndRecomputedAfterNewPoints) {
  T2DPolygon0 ccw;
  ccw.AddPoint(0, 0);
  ccw.AddPoint(1, 0);
  EXPECT_EQ(ccw.Area(), 0.0);  // fewer than three points
  ccw.AddPoint(1, 1);
  ccw.AddPoint(0, 1);
  EXPECT_DOUBLE_EQ(ccw.Area(), 1.0);
  EXPECT_TRUE(ccw.AreaValid());
  ccw.SetArea(7.5);
  EXPECT_EQ(ccw.Area(), 7.5);
  ccw.AddPoint(-1, 0.5);  // a new point makes the cached value stale
  EXPECT_FALSE(ccw.AreaValid());
  EXPECT_DOUBLE_EQ(ccw.Area(), 1.5);

  T2DPolygon0 cw;
  for (const auto& [x, y] : {std::pair{0.0, 0.0}, {0.0, 1.0}, {1.0, 1.0}, {1.0, 0.0}}) cw.AddPoint(x, y);
  EXPECT_DOUBLE_EQ(cw.Area(), -1.0);
  cw.Clear();
  EXPECT_EQ(cw.Count(), 0);
  EXPECT_FALSE(cw.AreaValid());
  EXPECT_EQ(cw.Area(), 0.0);
}

TEST(CreateCircle, startsDueEastGoesCounterClockwiseAndCachesTheDiscArea) {
  T2DPolygon0 c;
  c.CreateCircle(36, 100.0, 200.0, 3.0, true);
  ASSERT_EQ(c.Count(), 36);
  EXPECT_EQ(c.Point(0), T2DPoint(103.0, 200.0));
  EXPECT_NEAR(c.Point(9).X, 100.0, 1e-12);  // the tenth vertex, at 90 degrees
  EXPECT_DOUBLE_EQ(c.Point(9).Y, 203.0);
  EXPECT_NEAR(c.Point(18).X, 97.0, 1e-12);
  EXPECT_TRUE(c.AreaValid());
  EXPECT_DOUBLE_EQ(c.Area(), std::numbers::pi * 9.0);
  EXPECT_EQ(c.MinX, 97.0);
  EXPECT_EQ(c.MaxX, 103.0);
  EXPECT_NEAR(c.Centroid.X, 100.0, 1e-9);
  EXPECT_NEAR(c.Centroid.Y, 200.0, 1e-9);
  // The polygon itself is a little smaller than the disc whose area it carries.
  T2DPolygon0 copy;
  for (int i = 0; i < c.Count(); ++i) copy.AddPoint(c.Point(i).X, c.Point(i).Y);
  EXPECT_GT(copy.Area(), 0.0);
  EXPECT_LT(copy.Area(), c.Area());
}

TEST(CreateCircle, clockwiseListsTheSameVerticesBackwards) {
  T2DPolygon0 ccw;
  T2DPolygon0 cw;
  ccw.CreateCircle(8, 0.0, 0.0, 2.0, true);
  cw.CreateCircle(8, 0.0, 0.0, 2.0, false);
  ASSERT_EQ(cw.Count(), 8);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(cw.Point(i), ccw.Point(7 - i));
  EXPECT_EQ(cw.Area(), ccw.Area());  // the disc, not the polygon
}

TEST(CreateCircle, aNonPositiveRadiusOrNegativeCountLeavesThePolygonEmpty) {
  for (const auto& [n, r] : {std::pair{36, 0.0}, {36, -1.0}, {-1, 3.0}, {36, std::nan("")}}) {
    T2DPolygon0 c;
    c.CreateCircle(n, 5.0, 5.0, r, true);
    EXPECT_EQ(c.Count(), 0);
    EXPECT_FALSE(c.AreaValid()) << n << " " << r;
    EXPECT_EQ(c.Area(), 0.0);
  }
  T2DPolygon0 none;
  none.CreateCircle(0, 5.0, 5.0, 1.0, true);  // no vertices, but the disc is recorded
  EXPECT_EQ(none.Count(), 0);
  EXPECT_DOUBLE_EQ(none.Area(), std::numbers::pi);
  EXPECT_EQ(none.MinX, 4.0);
}

}  // namespace
}  // namespace qv
