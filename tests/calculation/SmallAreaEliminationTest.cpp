// Small-area elimination on meshes the row pass builds from pictures, every hole kept there
// (limits 0) so that all filling is left to the elimination; loops in the nesting are made by
// damaging such a mesh on purpose.
#include <gtest/gtest.h>

#include "RowPassRun.h"
#include "calculation/SmallAreaElimination.h"

namespace qv::test {
namespace {

const std::string kLoopText = "Error: Recursive loop in CheckHoleOnSmallNonWoodedAreas";

struct TBox {
  int Top, Left, Bottom, Right;  // inclusive
  char Pixel;
};

// The mesh of an open picture with boxes painted over it in order, packed as the driver packs it
// before the elimination. At(c, r) is the polygon that holds a pixel.
struct TPictureMesh {
  TPictureMesh(int height, int width, std::initializer_list<TBox> boxes) {
    std::vector<std::string> rows(static_cast<std::size_t>(height),
                                  std::string(static_cast<std::size_t>(width), '.'));
    for (const TBox& b : boxes) {
      for (int r = b.Top; r <= b.Bottom; ++r) {
        for (int c = b.Left; c <= b.Right; ++c)
          rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] = b.Pixel;
      }
    }
    window = Drawn(WestX11 + 10, NorthY11 - 10, rows);
    run.calc.MinClearingArea = run.calc.MinWoodedArea = 0;
    EXPECT_TRUE(run.Run(window));
    run.Mesh().Pack(0.0);
  }
  TPolygonId At(int c, int r) { return PolygonAt(run.Mesh(), window.Classes(), c, r); }
  std::vector<TPolygonId> Polygons() {
    std::vector<TPolygonId> list;
    for (int i = 0; i < run.Mesh().PolygonCount(); ++i) list.push_back(run.Mesh().Polygon(i));
    return list;
  }

  TRowPassRun run;
  THeightWindow window;
};

// A wood P (pixels 1..15) around a clearing O (4..12, 81 m2) holding an island I (5..11) around a
// clearing O2 (7..9, 9 m2). P covers 144 pixels, I 40.
TPictureMesh Nested() {
  return TPictureMesh(
      17, 17, {{1, 1, 15, 15, '#'}, {4, 4, 12, 12, '.'}, {5, 5, 11, 11, '#'}, {7, 7, 9, 9, '.'}});
}

TEST(SmallAreaElimination, aClearingOfExactlyTheLimitStaysAndOneSquareMetreLessIsFilled) {
  TPictureMesh pic(
      7, 13, {{1, 1, 5, 11, '#'}, {2, 2, 4, 5, '.'}, {2, 7, 4, 10, '.'}, {4, 10, 4, 10, '#'}});
  T2DPolygonMesh& m = pic.run.Mesh();
  const TPolygonId p = pic.At(1, 1);
  ASSERT_EQ(m.InnerRingCount(p), 2);
  EXPECT_TRUE(CheckSmallNonWoodedAreas(m, {12, 200}));
  ASSERT_EQ(m.InnerRingCount(p), 1);
  EXPECT_EQ(m[m.InnerRing(p, 0)].EnclosedPolygon, pic.At(2, 2));
  EXPECT_DOUBLE_EQ(m[p].Area, 32 + 11);
  EXPECT_FALSE(CheckPolygon(m, p));
  EXPECT_EQ(pic.run.platform.beeps, 0);
}

TEST(SmallAreaElimination, aFilledClearingLiftsAWoodOverTheWoodedLimit) {
  // 14 x 15 pixels of wood around a 6 x 10 clearing: 150 m2 of wood, 210 m2 with the clearing.
  for (const double clearingLimit : {100.0, 60.0}) {
    TPictureMesh pic(16, 17, {{1, 1, 14, 15, '#'}, {3, 3, 8, 12, '.'}});
    T2DPolygonMesh& m = pic.run.Mesh();
    const TPolygonId p = pic.At(1, 1);
    CheckSmallNonWoodedAreas(m, {clearingLimit, 200});
    RemoveSmallAndOpenPolygons(m, {clearingLimit, 200});
    EXPECT_EQ(pic.Polygons(),
              clearingLimit > 60 ? std::vector<TPolygonId>{p} : std::vector<TPolygonId>{});
    EXPECT_DOUBLE_EQ(m[p].Area, clearingLimit > 60 ? 210 : 150);  // freed or not, still readable
  }
}

TEST(SmallAreaElimination, nestedClearingsAreFilledAndTheIslandStaysAPolygonOfItsOwn) {
  TPictureMesh pic = Nested();
  T2DPolygonMesh& m = pic.run.Mesh();
  const TPolygonId p = pic.At(1, 1), o = pic.At(4, 4), island = pic.At(5, 5);
  ASSERT_EQ(m[m.InnerRing(p, 0)].EnclosedPolygon, o);
  ASSERT_EQ(m[m.InnerRing(o, 0)].EnclosedPolygon, island);
  // The island's clearing goes with the outer one, not by a visit of its own.
  EXPECT_TRUE(CheckHoleOnSmallNonWoodedAreas(m, {}, p, 0, m.InnerRing(p, 0)));
  EXPECT_DOUBLE_EQ(m[p].Area, 144 + 81);
  EXPECT_DOUBLE_EQ(m[island].Area, 40 + 9);
  EXPECT_EQ(m.InnerRingCount(p) + m.InnerRingCount(island), 0);
  EXPECT_EQ(m.InnerRingCount(o), 1);  // open polygons keep their holes until the filter
  EXPECT_EQ(m.PolygonCount(), 5);
  RemoveSmallAndOpenPolygons(m, {100, 49});
  EXPECT_EQ(pic.Polygons(), (std::vector<TPolygonId>{p, island}));
  RemoveSmallAndOpenPolygons(m, {100, 50});
  EXPECT_EQ(pic.Polygons(), std::vector<TPolygonId>{p});
}

// A hole whose enclosed polygon is nil, flagged or freed is filled without a visit inside.
TEST(SmallAreaElimination, aHoleWithoutItsEnclosedPolygonIsFilledWithoutVisitingTheIsland) {
  for (int gone = 0; gone < 3; ++gone) {
    TPictureMesh pic = Nested();
    T2DPolygonMesh& m = pic.run.Mesh();
    const TPolygonId p = pic.At(1, 1), o = pic.At(4, 4), island = pic.At(5, 5);
    const TRingId hole = m.InnerRing(p, 0);
    if (gone == 0) m[hole].EnclosedPolygon = {};
    if (gone == 1) m.MarkPolygonDeleted(o);
    const auto list = pic.Polygons();
    if (gone == 2)
      m.DeletePolygon(static_cast<int>(std::find(list.begin(), list.end(), o) - list.begin()));
    EXPECT_TRUE(CheckHoleOnSmallNonWoodedAreas(m, {}, p, 0, hole));
    EXPECT_DOUBLE_EQ(m[p].Area, 144 + 81) << gone;
    EXPECT_DOUBLE_EQ(m[island].Area, 40) << gone;
    EXPECT_EQ(m.InnerRingCount(island), 1) << gone;
  }
}

TEST(SmallAreaEliminationLoops, theGuardMetKeepsTheHoleAndThePassGoesOn) {
  TPictureMesh pic = Nested();
  T2DPolygonMesh& m = pic.run.Mesh();
  const TPolygonId p = pic.At(1, 1), o = pic.At(4, 4), island = pic.At(5, 5);
  const TRingId hole = m.InnerRing(p, 0);
  m[m.InnerRing(o, 0)].EnclosedPolygon = p;  // P's own hole now looks nested in its clearing
  CheckSmallNonWoodedAreas(m, {});
  EXPECT_EQ(pic.run.platform.Texts(), std::vector<std::string>{kLoopText});
  EXPECT_EQ(pic.run.platform.beeps, 1);
  EXPECT_EQ(m.InnerRing(p, 0), hole);
  EXPECT_DOUBLE_EQ(m[p].Area, 144);
  EXPECT_DOUBLE_EQ(m[island].Area, 40 + 9);  // later in the pass, still filled
}

TEST(SmallAreaEliminationLoops, theGuardMetDeeperMovesTheKeptNestedHoleToTheFilledWood) {
  // P (88 pixels) > clearing (81 m2) > island I > clearing K (25 m2) > island J.
  TPictureMesh pic(15, 15,
                   {{1, 1, 13, 13, '#'},
                    {3, 3, 11, 11, '.'},
                    {4, 4, 10, 10, '#'},
                    {5, 5, 9, 9, '.'},
                    {6, 6, 8, 8, '#'}});
  T2DPolygonMesh& m = pic.run.Mesh();
  const TPolygonId p = pic.At(1, 1), island = pic.At(4, 4), o2 = pic.At(5, 5);
  const TRingId k = m.InnerRing(island, 0);
  m[m.InnerRing(o2, 0)].EnclosedPolygon = p;
  CheckSmallNonWoodedAreas(m, {});
  EXPECT_EQ(pic.run.platform.Texts(), std::vector<std::string>{kLoopText});
  EXPECT_DOUBLE_EQ(m[p].Area, 88 + 81);
  ASSERT_EQ(m.InnerRingCount(p), 1);
  EXPECT_EQ(m.InnerRing(p, 0), k);
  EXPECT_FALSE(CheckPolygon(m, p));
  EXPECT_EQ(m.InnerRingCount(island), 0);
  EXPECT_DOUBLE_EQ(m[island].Area, 24);
}

TEST(SmallAreaEliminationLoops, aLoopMissingTheGuardOrTooDeepANestingIsReported) {
  TPictureMesh pic = Nested();
  T2DPolygonMesh& m = pic.run.Mesh();
  const TPolygonId p = pic.At(1, 1), o = pic.At(4, 4), island = pic.At(5, 5);
  const TRingId k = m.InnerRing(island, 0);
  m[k].EnclosedPolygon = o;  // the island's clearing leads back to the island itself
  CheckSmallNonWoodedAreas(m, {});
  EXPECT_EQ(pic.run.platform.Texts(), std::vector<std::string>{kLoopText});
  EXPECT_DOUBLE_EQ(m[p].Area, 144 + 81);
  EXPECT_EQ(m.InnerRing(p, 0), k);

  // Woods and clearings alternating 1500 levels deep, each an edgeless hole naming the next: the
  // cap is 1000 levels, so the hole of level 1000 is kept and handed to the wood of level 999.
  pic.run.platform.Clear();
  T2DPolygonMesh chain;
  std::vector<TPolygonId> level;
  for (int i = 0; i < 3000; ++i)
    chain[level.emplace_back(chain.AddPolygon())].IsWooded = i % 2 == 0;
  for (std::size_t i = 0; i + 1 < level.size(); ++i) {
    const TRingId hole = chain.CreateRing();
    chain[hole].EnclosedPolygon = level[i + 1];
    chain.AddInnerRing(level[i], hole);
  }
  EXPECT_TRUE(CheckHoleOnSmallNonWoodedAreas(chain, {}, level[0], 0, chain.InnerRing(level[0], 0)));
  EXPECT_EQ(pic.run.platform.Texts(), std::vector<std::string>{kLoopText});
  ASSERT_EQ(chain.InnerRingCount(level[1996]), 1);
  EXPECT_EQ(chain[chain.InnerRing(level[1996], 0)].EnclosedPolygon, level[1999]);
  EXPECT_EQ(chain.InnerRingCount(level[1998]), 0);
  for (std::size_t i = 0; i < 1996; i += 2) ASSERT_EQ(chain.InnerRingCount(level[i]), 0) << i;
  EXPECT_EQ(chain.InnerRingCount(level[2000]), 1);
}

TEST(PolygonFilter, keepsWoodedPolygonsOfAtLeastTheLimitInTheirOrder) {
  T2DPolygonMesh m;
  std::vector<TPolygonId> kept;
  for (const auto& [wooded, area] : {std::pair{true, 200.0},
                                     {true, 199.5},
                                     {false, 5000.0},
                                     {true, 300.0},
                                     {true, 0.0},
                                     {true, 1000.0},
                                     {true, 200.5},
                                     {false, 0.0}}) {
    const TPolygonId p = m.AddPolygon();
    m[p].IsWooded = wooded;
    m.SetArea(p, area);
    if (wooded && area >= 200 && area != 1000) kept.push_back(p);
  }
  m.MarkPolygonDeleted(m.Polygon(5));  // flagged polygons go too
  RemoveSmallAndOpenPolygons(m, TAreaLimits{100, 200});
  std::vector<TPolygonId> left;
  for (int i = 0; i < m.PolygonCount(); ++i) left.push_back(m.Polygon(i));
  EXPECT_EQ(left, kept);
  EXPECT_EQ(m.FaceCount(), 3);
}

}  // namespace
}  // namespace qv::test
