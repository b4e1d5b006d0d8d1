#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <string>
#include <vector>

#include "RecordingPlatform.h"
#include "RowJoin.h"
#include "calculation/SmallAreaElimination.h"
#include "geometry/MeshCheck.h"

namespace qv {
namespace {

const std::string kLoopText = "Error: Recursive loop in CheckHoleOnSmallNonWoodedAreas";

// The mesh of a raster of '#' (wooded) and '.' (open) pixels, built with the mesh operations in
// the order the row pass uses them on one tile, holes naming the polygon next to the closing
// corner. Every hole is kept (limits 0), so all filling is left to the elimination. Then Pack(0),
// as the driver does before the elimination. Pixel (col, row) is the square of side 1 around
// (col, -row).
class TRasterMesh {
 public:
  explicit TRasterMesh(const std::vector<std::string>& rows)
      : joiner_(mesh, static_cast<int>(rows.front().size())) {
    for (const std::string& row : rows) {
      std::vector<bool> wooded(row.size());
      std::transform(row.begin(), row.end(), wooded.begin(), [](char c) { return c == '#'; });
      joiner_.AddRow(wooded);
    }
    EXPECT_EQ(joiner_.RebuildFailures(), 0);
    mesh.Pack(0.0);
  }

  // The polygon that holds the pixel after all joins.
  TPolygonId At(int col, int row) const { return joiner_.PolygonAt(col, row); }

  T2DPolygonMesh mesh;

 private:
  test::TRowJoiner joiner_;
};

struct TBox {
  int Top, Left, Bottom, Right;  // inclusive pixel rows and columns
  char Pixel;
};

// An open raster with the boxes painted over it in order.
std::vector<std::string> Paint(int height, int width, std::initializer_list<TBox> boxes) {
  std::vector<std::string> rows(static_cast<std::size_t>(height),
                                std::string(static_cast<std::size_t>(width), '.'));
  for (const TBox& box : boxes) {
    for (int r = box.Top; r <= box.Bottom; ++r) {
      for (int c = box.Left; c <= box.Right; ++c) {
        rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] = box.Pixel;
      }
    }
  }
  return rows;
}

std::vector<TRingId> Holes(const T2DPolygonMesh& mesh, TPolygonId p) {
  std::vector<TRingId> holes;
  for (int i = 0; i < mesh.InnerRingCount(p); ++i) holes.push_back(mesh.InnerRing(p, i));
  return holes;
}

std::vector<TPolygonId> Polygons(const T2DPolygonMesh& mesh) {
  std::vector<TPolygonId> polygons;
  for (int i = 0; i < mesh.PolygonCount(); ++i) polygons.push_back(mesh.Polygon(i));
  return polygons;
}

double HoleArea(const T2DPolygonMesh& mesh, TRingId ring) { return -mesh.Area(ring); }

// A wooded polygon P (pixels 1..15) around a clearing O (4..12, 81 m2), which holds a wooded
// island I (5..11) around a clearing O2 (7..9, 9 m2). P covers 144 pixels, I 40.
std::vector<std::string> NestedClearings() {
  return Paint(17, 17, {{1, 1, 15, 15, '#'}, {4, 4, 12, 12, '.'}, {5, 5, 11, 11, '#'},
                        {7, 7, 9, 9, '.'}});
}

class SmallAreaElimination : public ::testing::Test {
 protected:
  test::RecordingPlatform platform;
  TAreaLimits limits;  // 100 m2 and 200 m2
};

TEST_F(SmallAreaElimination, ClearingOfExactlyTheLimitStaysAndOneSquareMetreLessIsFilled) {
  // Two clearings in one wooded polygon: 3 x 4 pixels, and 3 x 4 less one corner pixel.
  TRasterMesh raster(Paint(7, 13, {{1, 1, 5, 11, '#'}, {2, 2, 4, 5, '.'}, {2, 7, 4, 10, '.'},
                                   {4, 10, 4, 10, '#'}}));
  T2DPolygonMesh& m = raster.mesh;
  const TPolygonId p = raster.At(1, 1);
  ASSERT_EQ(m.InnerRingCount(p), 2);
  ASSERT_DOUBLE_EQ(m[p].Area, 32);
  limits.MinClearingArea = 12;

  EXPECT_TRUE(CheckSmallNonWoodedAreas(m, limits));

  ASSERT_EQ(m.InnerRingCount(p), 1);
  EXPECT_DOUBLE_EQ(HoleArea(m, m.InnerRing(p, 0)), 12);
  EXPECT_EQ(m[m.InnerRing(p, 0)].EnclosedPolygon, raster.At(2, 2));
  EXPECT_DOUBLE_EQ(m[p].Area, 32 + 11);
  EXPECT_EQ(test::RingFault(m, m.InnerRing(p, 0)), "");
  EXPECT_EQ(test::RingFault(m, m.OuterRing(p)), "");
  EXPECT_EQ(platform.beeps, 0);
}

TEST_F(SmallAreaElimination, FilledClearingLiftsAWoodedPolygonOverTheWoodedLimit) {
  // 14 x 15 pixels of wood around a 6 x 10 clearing: 150 m2 of wood, 210 m2 with the clearing.
  const auto rows = Paint(16, 17, {{1, 1, 14, 15, '#'}, {3, 3, 8, 12, '.'}});
  {
    TRasterMesh raster(rows);
    const TPolygonId p = raster.At(1, 1);
    ASSERT_DOUBLE_EQ(raster.mesh[p].Area, 150);
    CheckSmallNonWoodedAreas(raster.mesh, limits);
    RemoveSmallAndOpenPolygons(raster.mesh, limits);
    ASSERT_EQ(Polygons(raster.mesh), std::vector<TPolygonId>{p});
    EXPECT_DOUBLE_EQ(raster.mesh[p].Area, 210);
    EXPECT_EQ(raster.mesh.InnerRingCount(p), 0);
  }
  {
    // With the clearing kept, the same wood is too small for the layer.
    TRasterMesh raster(rows);
    limits.MinClearingArea = 60;
    CheckSmallNonWoodedAreas(raster.mesh, limits);
    EXPECT_DOUBLE_EQ(raster.mesh[raster.At(1, 1)].Area, 150);
    RemoveSmallAndOpenPolygons(raster.mesh, limits);
    EXPECT_EQ(raster.mesh.PolygonCount(), 0);
  }
}

TEST_F(SmallAreaElimination, NestedClearingsAreFilledAndTheIslandStaysAPolygonOfItsOwn) {
  TRasterMesh raster(NestedClearings());
  T2DPolygonMesh& m = raster.mesh;
  const TPolygonId margin = raster.At(0, 0), p = raster.At(1, 1), o = raster.At(4, 4),
                   island = raster.At(5, 5), o2 = raster.At(7, 7);
  ASSERT_NE(island, p);
  ASSERT_EQ(Holes(m, p).size(), 1u);
  ASSERT_EQ(m[m.InnerRing(p, 0)].EnclosedPolygon, o);
  ASSERT_EQ(m.InnerRingCount(o), 1);
  ASSERT_EQ(m[m.InnerRing(o, 0)].EnclosedPolygon, island);
  ASSERT_EQ(m.InnerRingCount(island), 1);
  ASSERT_EQ(m[m.InnerRing(island, 0)].EnclosedPolygon, o2);

  // The island's clearing goes with the outer one, not by a visit of its own.
  EXPECT_TRUE(CheckHoleOnSmallNonWoodedAreas(m, limits, p, 0, m.InnerRing(p, 0)));

  EXPECT_DOUBLE_EQ(m[p].Area, 144 + 81);
  EXPECT_DOUBLE_EQ(m[island].Area, 40 + 9);
  EXPECT_EQ(m.InnerRingCount(p), 0);
  EXPECT_EQ(m.InnerRingCount(island), 0);
  EXPECT_EQ(test::RingFault(m, m.OuterRing(island)), "");
  // Open polygons keep their holes and stay until the filter.
  EXPECT_EQ(m.InnerRingCount(o), 1);
  EXPECT_EQ(m.InnerRingCount(margin), 1);
  EXPECT_EQ(m.PolygonCount(), 5);

  limits.MinWoodedArea = 49;
  RemoveSmallAndOpenPolygons(m, limits);
  EXPECT_EQ(Polygons(m), (std::vector<TPolygonId>{p, island}));
  limits.MinWoodedArea = 50;
  RemoveSmallAndOpenPolygons(m, limits);
  EXPECT_EQ(Polygons(m), std::vector<TPolygonId>{p});
}

enum class TGoneEnclosed { Nil, Flagged, Freed };

std::string GoneName(const ::testing::TestParamInfo<TGoneEnclosed>& gone) {
  const char* names[] = {"Nil", "Flagged", "Freed"};
  return names[static_cast<int>(gone.param)];
}

class HoleWithoutEnclosedPolygon : public SmallAreaElimination,
                                   public ::testing::WithParamInterface<TGoneEnclosed> {};

TEST_P(HoleWithoutEnclosedPolygon, IsFilledWithoutVisitingTheIslands) {
  TRasterMesh raster(NestedClearings());
  T2DPolygonMesh& m = raster.mesh;
  const TPolygonId p = raster.At(1, 1), o = raster.At(4, 4), island = raster.At(5, 5);
  const TRingId hole = m.InnerRing(p, 0);
  switch (GetParam()) {
    case TGoneEnclosed::Nil: m[hole].EnclosedPolygon = {}; break;
    case TGoneEnclosed::Flagged: m.MarkPolygonDeleted(o); break;
    case TGoneEnclosed::Freed:
      for (int i = 0; i < m.PolygonCount(); ++i) {
        if (m.Polygon(i) == o) m.DeletePolygon(i);
      }
      break;
  }

  EXPECT_TRUE(CheckHoleOnSmallNonWoodedAreas(m, limits, p, 0, hole));

  EXPECT_DOUBLE_EQ(m[p].Area, 144 + 81);
  EXPECT_EQ(m.InnerRingCount(p), 0);
  EXPECT_DOUBLE_EQ(m[island].Area, 40);
  EXPECT_EQ(m.InnerRingCount(island), 1);
  EXPECT_EQ(platform.beeps, 0);
}

INSTANTIATE_TEST_SUITE_P(SmallAreaElimination, HoleWithoutEnclosedPolygon,
                         ::testing::Values(TGoneEnclosed::Nil, TGoneEnclosed::Flagged,
                                           TGoneEnclosed::Freed),
                         GoneName);

// Loops in the nesting come only from a damaged mesh; the tests damage one on purpose.
using SmallAreaEliminationLoops = SmallAreaElimination;

TEST_F(SmallAreaEliminationLoops, GuardMetKeepsTheHoleAndThePassGoesOn) {
  TRasterMesh raster(NestedClearings());
  T2DPolygonMesh& m = raster.mesh;
  const TPolygonId p = raster.At(1, 1), o = raster.At(4, 4), island = raster.At(5, 5);
  const TRingId hole = m.InnerRing(p, 0);
  m[m.InnerRing(o, 0)].EnclosedPolygon = p;  // P's own hole now looks nested in its clearing

  CheckSmallNonWoodedAreas(m, limits);

  EXPECT_EQ(platform.beeps, 1);
  EXPECT_EQ(platform.Texts(), std::vector<std::string>{kLoopText});
  EXPECT_EQ(Holes(m, p), std::vector<TRingId>{hole});
  EXPECT_DOUBLE_EQ(m[p].Area, 144);
  // The island comes later in the pass and still has its clearing filled.
  EXPECT_DOUBLE_EQ(m[island].Area, 40 + 9);
  EXPECT_EQ(m.InnerRingCount(island), 0);
}

TEST_F(SmallAreaEliminationLoops, GuardMetDeeperMovesTheKeptNestedHoleToTheFilledPolygon) {
  // P (88 pixels) > clearing (81 m2) > island I > clearing K (25 m2) > island J.
  TRasterMesh raster(Paint(15, 15, {{1, 1, 13, 13, '#'}, {3, 3, 11, 11, '.'},
                                    {4, 4, 10, 10, '#'}, {5, 5, 9, 9, '.'}, {6, 6, 8, 8, '#'}}));
  T2DPolygonMesh& m = raster.mesh;
  const TPolygonId p = raster.At(1, 1), island = raster.At(4, 4), o2 = raster.At(5, 5);
  ASSERT_EQ(m.InnerRingCount(island), 1);
  const TRingId k = m.InnerRing(island, 0);
  ASSERT_EQ(m.InnerRingCount(o2), 1);
  m[m.InnerRing(o2, 0)].EnclosedPolygon = p;

  CheckSmallNonWoodedAreas(m, limits);

  EXPECT_EQ(platform.Texts(), std::vector<std::string>{kLoopText});
  EXPECT_EQ(platform.beeps, 1);
  EXPECT_DOUBLE_EQ(m[p].Area, 88 + 81);
  EXPECT_EQ(Holes(m, p), std::vector<TRingId>{k});
  EXPECT_EQ(m[k].IncidentFace, m[p].Face);
  EXPECT_EQ(test::RingFault(m, k), "");
  EXPECT_EQ(m.InnerRingCount(island), 0);
  EXPECT_DOUBLE_EQ(m[island].Area, 24);
}

TEST_F(SmallAreaEliminationLoops, LoopThatMissesTheGuardIsReportedInsteadOfRecursing) {
  TRasterMesh raster(NestedClearings());
  T2DPolygonMesh& m = raster.mesh;
  const TPolygonId p = raster.At(1, 1), o = raster.At(4, 4), island = raster.At(5, 5);
  const TRingId k = m.InnerRing(island, 0);
  m[k].EnclosedPolygon = o;  // the island's clearing leads back to the island itself

  CheckSmallNonWoodedAreas(m, limits);

  EXPECT_EQ(platform.Texts(), std::vector<std::string>{kLoopText});
  EXPECT_DOUBLE_EQ(m[p].Area, 144 + 81);
  EXPECT_EQ(Holes(m, p), std::vector<TRingId>{k});
  EXPECT_EQ(m.InnerRingCount(island), 0);
}

TEST_F(SmallAreaEliminationLoops, ChainDeeperThanTheNestingCapIsReported) {
  // Wooded and open polygons alternating, each with one edgeless hole (area 0) naming the next:
  // 1500 levels of clearings without a repeat.
  T2DPolygonMesh m;
  std::vector<TPolygonId> chain;
  for (int i = 0; i < 3000; ++i) {
    chain.push_back(m.AddPolygon());
    m[chain.back()].IsWooded = i % 2 == 0;
  }
  for (std::size_t i = 0; i + 1 < chain.size(); ++i) {
    const TRingId hole = m.CreateRing();
    m[hole].EnclosedPolygon = chain[i + 1];
    m.AddInnerRing(chain[i], hole);
  }

  EXPECT_TRUE(CheckHoleOnSmallNonWoodedAreas(m, limits, chain[0], 0, m.InnerRing(chain[0], 0)));

  // The cap is 1000 levels: the hole of level 1000 (on chain[1998]) is kept and handed to the
  // wood of level 999; every level above it is filled, the chain below it is not visited.
  EXPECT_EQ(platform.Texts(), std::vector<std::string>{kLoopText});
  const TRingId kept = m.InnerRing(chain[1996], 0);
  EXPECT_EQ(m[kept].EnclosedPolygon, chain[1999]);
  EXPECT_EQ(m.InnerRingCount(chain[1996]), 1);
  EXPECT_EQ(m.InnerRingCount(chain[1998]), 0);
  for (std::size_t i = 0; i < 1996; i += 2) ASSERT_EQ(m.InnerRingCount(chain[i]), 0) << i;
  EXPECT_EQ(m.InnerRingCount(chain[2000]), 1);
}

TEST(PolygonFilter, KeepsWoodedPolygonsOfAtLeastTheLimitInTheirOrder) {
  T2DPolygonMesh m;
  const auto add = [&m](bool wooded, double area) {
    const TPolygonId p = m.AddPolygon();
    m[p].IsWooded = wooded;
    m.SetArea(p, area);
    return p;
  };
  const TPolygonId a = add(true, 200);
  add(true, 199.5);
  add(false, 5000);
  const TPolygonId d = add(true, 300);
  add(true, 0);
  const TPolygonId flagged = add(true, 1000);
  const TPolygonId g = add(true, 200.5);
  add(false, 0);
  m.MarkPolygonDeleted(flagged);

  RemoveSmallAndOpenPolygons(m, TAreaLimits{100, 200});

  EXPECT_EQ(Polygons(m), (std::vector<TPolygonId>{a, d, g}));
  EXPECT_EQ(m.FaceCount(), 3);
}

}  // namespace
}  // namespace qv
