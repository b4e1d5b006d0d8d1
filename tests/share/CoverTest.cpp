// The covered area of parcels against GEOS: the union of all pieces cut with each parcel.
//
// The landscape is what a run writes, drawn by hand: woods with axis-parallel edges on half
// metres (one with a clearing holding an island, one with an island lying on it as on a filled
// clearing, two sharing an edge), and crown circles of 36 points at whole metres, over woods,
// across their edges and overlapping in open land. The parcels are what users have: rectangles
// whose edges lie on wood edges, an L-shape, a farmyard hole, neighbours touching, one spanning
// several blocks of the share's grid, one equal to a wood, one in open land.
#include <geos_c.h>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <utility>

#include "share/Clip.h"
#include "share/ParcelShares.h"

namespace qv::share {
namespace {

using TRing = std::vector<std::pair<double, double>>;
using TPolygon = std::vector<TRing>;  // the shell, then its holes

constexpr double X0 = 600000, Y0 = 200000;

// Clockwise, as a shapefile's shell; holes are given reversed.
TRing Rect(double x0, double y0, double x1, double y1) {
  return {{X0 + x0, Y0 + y0}, {X0 + x0, Y0 + y1}, {X0 + x1, Y0 + y1}, {X0 + x1, Y0 + y0}};
}

TRing Reversed(TRing ring) { return {ring.rbegin(), ring.rend()}; }

TRing Circle(double cx, double cy, double r) {
  TRing ring;
  for (int k = 0; k < 36; ++k) {
    const double a = -2 * std::numbers::pi * k / 36;
    ring.emplace_back(X0 + cx + r * std::cos(a), Y0 + cy + r * std::sin(a));
  }
  return ring;
}

TRingShape Shape(const TPolygon& polygon) {
  TRingShape shape;
  for (const TRing& ring : polygon) {
    for (const auto& [x, y] : ring) shape.Points.emplace_back(x, y);
    shape.RingEnds.push_back(static_cast<std::uint32_t>(shape.Points.size()));
  }
  return shape;
}

std::vector<TPolygon> Woods() {
  const TRing staircase = {{X0 + 300.5, Y0 + 20.5}, {X0 + 300.5, Y0 + 140.5},
                           {X0 + 340.5, Y0 + 140.5}, {X0 + 340.5, Y0 + 100.5},
                           {X0 + 390.5, Y0 + 100.5}, {X0 + 390.5, Y0 + 20.5}};
  return {
      {Rect(10.5, 10.5, 120.5, 90.5), Reversed(Rect(40.5, 30.5, 80.5, 70.5))},
      {Rect(50.5, 40.5, 60.5, 60.5)},  // an island in the clearing
      {Rect(140.5, 10.5, 200.5, 90.5)},
      {Rect(160.5, 30.5, 170.5, 50.5)},  // an island on a filled clearing: lies on the wood
      {Rect(200.5, 10.5, 240.5, 60.5)},  // shares an edge with the wood before the last
      {staircase},
      {Rect(240.5, 200.5, 560.5, 380.5)},  // across blocks of the grid
  };
}

std::vector<TPolygon> Crowns() {
  std::vector<TPolygon> crowns{{Circle(120, 50, 6)}, {Circle(125, 52, 5)}, {Circle(60, 50, 4)},
                               {Circle(300, 140, 5)}, {Circle(250, 200, 4)}};
  std::mt19937 random(7);
  std::uniform_int_distribution<int> x(0, 600), y(0, 400);
  std::uniform_real_distribution<double> radius(2.9, 6.5);
  for (int i = 0; i < 400; ++i) crowns.push_back({Circle(x(random), y(random), radius(random))});
  return crowns;
}

std::vector<TPolygon> Parcels() {
  const TRing lShape = {{X0 + 0, Y0 + 100}, {X0 + 0, Y0 + 200}, {X0 + 150.5, Y0 + 200},
                        {X0 + 150.5, Y0 + 150}, {X0 + 100, Y0 + 150}, {X0 + 100, Y0 + 100}};
  return {
      {Rect(0, 0, 140.5, 100)},
      {Rect(140.5, 0, 300.5, 100)},  // touches the first; edges on wood edges
      {Rect(300.5, 20.5, 390.5, 100.5), Reversed(Rect(320, 40, 350, 70))},  // farmyard
      {lShape},
      {Rect(200, 150, 600, 400)},
      {Rect(140.5, 10.5, 200.5, 90.5)},  // equal to a wood
      {Rect(450, 20, 470, 40)},
  };
}

class TGeos {
 public:
  TGeos() : context_(GEOS_init_r()) {}
  ~TGeos() { GEOS_finish_r(context_); }

  GEOSGeometry* Polygon(const TPolygon& polygon) {
    std::vector<GEOSGeometry*> rings;
    for (const TRing& ring : polygon) {
      const auto n = static_cast<unsigned>(ring.size());
      GEOSCoordSequence* seq = GEOSCoordSeq_create_r(context_, n + 1, 2);
      for (unsigned i = 0; i <= n; ++i)
        GEOSCoordSeq_setXY_r(context_, seq, i, ring[i % n].first, ring[i % n].second);
      rings.push_back(GEOSGeom_createLinearRing_r(context_, seq));
    }
    return GEOSGeom_createPolygon_r(context_, rings[0], rings.data() + 1,
                                    static_cast<unsigned>(rings.size() - 1));
  }

  // The area of parcel within the union of pieces.
  double CoveredArea(const TPolygon& parcel, const std::vector<TPolygon>& pieces) {
    std::vector<GEOSGeometry*> parts;
    for (const TPolygon& piece : pieces) parts.push_back(Polygon(piece));
    GEOSGeometry* all = GEOSGeom_createCollection_r(context_, GEOS_MULTIPOLYGON, parts.data(),
                                                    static_cast<unsigned>(parts.size()));
    GEOSGeometry* cover = GEOSUnaryUnion_r(context_, all);
    GEOSGeometry* land = Polygon(parcel);
    GEOSGeometry* covered = GEOSIntersection_r(context_, cover, land);
    double area = 0;
    GEOSArea_r(context_, covered, &area);
    for (GEOSGeometry* g : {all, cover, land, covered}) GEOSGeom_destroy_r(context_, g);
    return area;
  }

 private:
  GEOSContextHandle_t context_;
};

TEST(ParcelShares, CoveredAreaOfEveryParcelIsGeosUnionCutWithIt) {
  std::vector<TPolygon> pieces = Woods();
  for (TPolygon& crown : Crowns()) pieces.push_back(std::move(crown));
  std::vector<TRingShape> parcels;
  for (const TPolygon& parcel : Parcels()) parcels.push_back(Shape(parcel));
  parcels.emplace_back();  // a record without a shape
  std::size_t bands = 0, lastDone = 0, lastTotal = 0;
  const auto areas = ParcelCoveredAreas(
      parcels,
      [&](const TBandBox& band) {
        ++bands;
        std::vector<TRingShape> within;
        for (const TPolygon& piece : pieces) {
          const TRingShape shape = Shape(piece);
          const TBox box = BoxOf(shape);
          if (box.XMin <= band.XMax && band.XMin <= box.XMax && box.YMin <= band.YMax &&
              band.YMin <= box.YMax)
            within.push_back(shape);
        }
        return within;
      },
      [&](std::size_t done, std::size_t total) {
        EXPECT_GT(done, lastDone);
        lastDone = done;
        lastTotal = total;
      });
  EXPECT_EQ(bands, 2u);  // the grid's rows of 250 m over 400 m of parcels
  EXPECT_EQ(lastDone, lastTotal);
  ASSERT_EQ(areas.size(), Parcels().size() + 1);
  TGeos geos;
  for (std::size_t i = 0; i < Parcels().size(); ++i) {
    const double expected = geos.CoveredArea(Parcels()[i], pieces);
    EXPECT_NEAR(areas[i], expected, 1e-6 + 1e-9 * expected) << "parcel " << i;
  }
  EXPECT_EQ(areas.back(), 0.0);
  EXPECT_DOUBLE_EQ(areas[5], 60.0 * 80.0);
  EXPECT_EQ(areas[6], 0.0);
}

}  // namespace
}  // namespace qv::share
