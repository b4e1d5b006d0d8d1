// Small-area elimination where the oracle of RowPassTest does not take it: the recursion over
// clearings inside islands inside clearings, holes whose enclosed polygon is gone, and loops in
// the nesting, which only a damaged mesh has. The meshes are built by the row pass from pictures,
// every hole kept (limits 0) so that all filling is left to the elimination.
#include <gtest/gtest.h>

#include "Runs.h"
#include "calculation/SmallAreaElimination.h"

namespace qv::test {
namespace {

const std::vector<std::string> kLoop{"Error: Recursive loop in CheckHoleOnSmallNonWoodedAreas"};

struct TBox {
  int Top, Left, Bottom, Right;  // inclusive
  char Pixel;
};

// The mesh of an open picture with boxes painted over it in order, packed as the driver packs it
// before the elimination.
struct TPicture {
  TPicture(int size, std::initializer_list<TBox> boxes) : window(Paint(size, boxes)), m(Build()) {}
  static THeightWindow Paint(int size, std::initializer_list<TBox> boxes) {
    std::vector<std::string> rows(size, std::string(size, '.'));
    for (const TBox& b : boxes) {
      for (int r = b.Top; r <= b.Bottom; ++r)
        rows[r].replace(b.Left, b.Right - b.Left + 1, b.Right - b.Left + 1, b.Pixel);
    }
    return Drawn(WestX11 + 10, NorthY11 - 10, rows);
  }
  T2DPolygonMesh& Build() {
    run.calc.Settings.Limits.MinClearingArea = run.calc.Settings.Limits.MinWoodedArea = 0;
    EXPECT_TRUE(run.BuildMesh(window));
    run.Mesh().Pack(0.0);
    return run.Mesh();
  }
  TPolygonId At(int c, int r) { return PolygonAt(m, window.Classes(), c, r); }
  std::vector<TPolygonId> Polygons() {
    std::vector<TPolygonId> list;
    for (int i = 0; i < m.PolygonCount(); ++i) list.push_back(m.Polygon(i));
    return list;
  }

  TRun run;
  THeightWindow window;
  T2DPolygonMesh& m;
};

// A wood P (pixels 1..15) around a clearing O (4..12, 81 m2) holding an island I (5..11) around a
// clearing O2 (7..9, 9 m2). P covers 144 pixels, I 40.
TPicture Nested() {
  return {17, {{1, 1, 15, 15, '#'}, {4, 4, 12, 12, '.'}, {5, 5, 11, 11, '#'}, {7, 7, 9, 9, '.'}}};
}

// The outer clearing is filled and the island keeps its polygon, its own clearing filled on the
// way (not by a visit of its own); a hole whose enclosed polygon is nil, flagged or freed is filled
// without a visit inside.
TEST(SmallAreaElimination, fillsNestedClearingsByTheOuterOneAndLeavesTheIslandAPolygon) {
  for (int gone = -1; gone < 3; ++gone) {
    TPicture pic = Nested();
    const TPolygonId p = pic.At(1, 1), o = pic.At(4, 4), island = pic.At(5, 5);
    const TRingId hole = pic.m.InnerRing(p, 0);
    const auto list = pic.Polygons();
    ASSERT_EQ(pic.m[hole].EnclosedPolygon, o);
    ASSERT_EQ(pic.m[pic.m.InnerRing(o, 0)].EnclosedPolygon, island);
    if (gone == 0) pic.m[hole].EnclosedPolygon = {};
    if (gone == 1) pic.m.MarkPolygonDeleted(o);
    if (gone == 2)
      pic.m.DeletePolygon(static_cast<int>(std::find(list.begin(), list.end(), o) - list.begin()));
    EXPECT_TRUE(CheckHoleOnSmallNonWoodedAreas(pic.m, {}, p, 0, hole));
    EXPECT_DOUBLE_EQ(pic.m[p].Area, 144 + 81) << gone;
    EXPECT_DOUBLE_EQ(pic.m[island].Area, gone < 0 ? 40 + 9 : 40) << gone;
    EXPECT_EQ(pic.m.InnerRingCount(p) + pic.m.InnerRingCount(island), gone < 0 ? 0 : 1);
    if (gone < 0) {
      EXPECT_EQ(pic.m.InnerRingCount(o), 1);  // open polygons keep their holes until the filter
    }
  }
}

// A loop in the nesting (only a damaged mesh has one): the hole examined met again stays, is
// reported, and the pass goes on; a nesting deeper than the cap is reported the same way.
TEST(SmallAreaEliminationLoops, areReportedAndEndWithTheHoleUnderExaminationKept) {
  TPicture pic = Nested();
  const TPolygonId p = pic.At(1, 1), o = pic.At(4, 4), island = pic.At(5, 5);
  pic.m[pic.m.InnerRing(o, 0)].EnclosedPolygon = p;  // P's own hole now looks nested in it
  CheckSmallNonWoodedAreas(pic.m, {});
  EXPECT_EQ(pic.run.platform.Texts(), kLoop);
  EXPECT_EQ(pic.run.platform.beeps, 1);
  EXPECT_DOUBLE_EQ(pic.m[p].Area, 144);
  EXPECT_EQ(pic.m.InnerRingCount(p), 1);
  EXPECT_DOUBLE_EQ(pic.m[island].Area, 40 + 9);  // later in the pass, still filled

  // Woods and clearings alternating 1500 levels deep, each an edgeless hole naming the next: the
  // cap is 1000 levels, so the hole of level 1000 is kept and handed to the wood of level 999.
  RecordingPlatform platform;
  T2DPolygonMesh chain;
  std::vector<TPolygonId> level;
  for (int i = 0; i < 3000; ++i)
    chain[level.emplace_back(chain.AddPolygon())].IsWooded = i % 2 == 0;
  for (std::size_t i = 0; i + 1 < level.size(); ++i) {
    chain[chain.InnerRing(level[i], chain.AddInnerRing(level[i], chain.CreateRing()))]
        .EnclosedPolygon = level[i + 1];
  }
  EXPECT_TRUE(CheckHoleOnSmallNonWoodedAreas(chain, {}, level[0], 0, chain.InnerRing(level[0], 0)));
  EXPECT_EQ(platform.Texts(), kLoop);
  ASSERT_EQ(chain.InnerRingCount(level[1996]), 1);
  EXPECT_EQ(chain[chain.InnerRing(level[1996], 0)].EnclosedPolygon, level[1999]);
  for (std::size_t i = 0; i < 1996; i += 2) ASSERT_EQ(chain.InnerRingCount(level[i]), 0) << i;
  EXPECT_EQ(chain.InnerRingCount(level[1998]) + chain.InnerRingCount(level[2000]), 1);
}

}  // namespace
}  // namespace qv::test
