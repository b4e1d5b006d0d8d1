// The row pass and its joins through the real tile pass, judged by the flood-fill oracle on random
// and structured rasters in one tile and around the corner where four tiles meet, with and without
// hole limits; merged ring handles against edge-by-edge ring walks; and the records, orders and
// damaged links the oracle does not see.
#include <gtest/gtest.h>

#include <random>

#include "Runs.h"
#include "calculation/Joins.h"
#include "calculation/RowGeometry.h"
#include "calculation/RowPass.h"
#include "calculation/SmallAreaElimination.h"
#include "nhmgen/NhmGenerator.h"

namespace qv::test {
namespace {

// Random heights over one of the class patterns the joins find hardest.
THeightWindow RandomWindow(std::mt19937& rng, double x0, double y0, int width, int height) {
  const auto draw = [&rng](int lo, int hi) { return std::uniform_int_distribution(lo, hi)(rng); };
  const int kind = draw(0, 7), period = draw(1, 3), phase = draw(0, 5), step = draw(2, 4);
  const int density = draw(5, 95);
  std::vector<bool> noise;
  for (int i = 0; i < 64 * 64; ++i) noise.push_back(draw(0, 99) < density);
  const auto wooded = [&](int c, int r) -> bool {
    const bool n = noise[static_cast<std::size_t>(r % 64 * 64 + c % 64)];
    const int x = c - 20 + phase, y = r - 20 + phase, ring = std::max(std::abs(x), std::abs(y));
    switch (kind) {
      case 2:
        return ((c + phase) / period + r / period) % 2 == 0;  // checkerboards
      case 3:
        return std::max(std::abs(c - 3 * phase), std::abs(r - 2 * phase)) / period % 2 == 0;
      case 4:
        return ring % 2 == 0 && !(x == ring && y == 1 - ring + ring / 2 % 3);  // a spiral
      case 5:
        return (c + r + phase) % step == 0 || (c - r + 64) % (step + 1) == 0;  // diagonals
      case 6:
        return n != ((c + r) % step == 0 && (c + phase) % 2 == 0);  // noise with pinches
      case 7:
        return std::max(std::abs(c - 12), std::abs(r - 12)) % 3 != 0 || n;  // gapped rings
      default:
        return n;
    }
  };
  THeightWindow w{x0, y0, width, height, {}};
  for (int i = 0; i < width * height; ++i) {
    const int open = draw(0, 9);  // open: no-data, just below 2 m, or low
    w.Values.push_back(wooded(i % width, i / width) ? 2.0 + draw(0, 2800) / 100.0
                       : open == 0                  ? NoData
                                                    : (open == 1 ? 199 : draw(0, 150)) / 100.0);
  }
  return w;
}

// Both meshes were built by the same operations; they must agree object for object.
bool Same(const T2DPolygonMesh& a, const T2DPolygonMesh& b) {
  bool same = a.EdgeCount() == b.EdgeCount() && a.PolygonCount() == b.PolygonCount();
  for (int i = 0; same && i < a.EdgeCount(); ++i) {
    const TEdgeId e = a.Edge(i);
    same = a.IncidentRing(e) == b.IncidentRing(e) && a[e].Next == b[e].Next &&
           a[e].Origin == b[e].Origin && a[e].Deleted == b[e].Deleted;
  }
  for (int i = 0; same && i < a.PolygonCount(); ++i) {
    const TPolygonId p = a.Polygon(i);
    same = a[p].Deleted == b[p].Deleted && a[p].Area == b[p].Area &&
           a.OuterEdgeCount(p) == b.OuterEdgeCount(p) && a.InnerRingCount(p) == b.InnerRingCount(p);
    for (int h = 0; same && h < a.InnerRingCount(p); ++h) {
      const TRingId ring = a.InnerRing(p, h);
      same = ring == b.InnerRing(p, h) && a[ring].EnclosedPolygon == b[ring].EnclosedPolygon;
    }
  }
  return same;
}

// Windows with random hole limits (or none) judged by the oracle, in tile 11 or around the corner
// of tiles 11 to 14, where regions cross the west and the north border of tile 14 and the borders
// between the others, alone and at once; some corner windows are of the synthetic pasture. Every
// third is built again with ring moves walked edge by edge, which must give the very same mesh.
// The windows come in grid files of every form (Runs.h).
// What the small-area elimination leaves of each mesh must be the polygons of a wooded layer.
void Judge(int seeds, bool corner) {
  TRun run, walked;
  run.varied = true;
  for (int seed = 1, failures = 0; seed <= seeds && failures < 3; ++seed) {
    std::mt19937 rng(static_cast<unsigned>(seed) * (corner ? 7919 : 1));
    const int width = corner ? 4 + rng() % 37 : 2 + rng() % 39;
    const int height = corner ? 3 + rng() % 38 : 1 + rng() % 40;
    const double x0 = corner ? WestX12 - 4 - rng() % (width - 3) : WestX11 + 2 + rng() % 199;
    const double y0 = corner ? NorthY13 + 2 + rng() % (height - 2) : NorthY11 - 2 - rng() % 199;
    THeightWindow w = RandomWindow(rng, x0, y0, width, height);
    for (int i = 0; corner && seed > 900 && i < width * height; ++i) {
      w.Values[i] = nhmgen::ValueAt(seed, static_cast<int>(x0) + i % width + seed * 31,
                                    static_cast<int>(y0) - i / width - seed * 17);
    }
    // Odd seeds fill small holes as the rows close them, even ones leave it all to the elimination.
    const double clearing = 1.0 + rng() % 14, patch = 15 - clearing, rows = seed % 2;
    const TAreaLimits limits{rows * clearing, rows * patch};
    run.calc.Settings.Limits = walked.calc.Settings.Limits = limits;
    std::string fault = run.BuildMesh(w) ? "" : "failed";
    for (const auto& text : run.platform.Texts()) {
      if (text.find("File not found") == std::string::npos) fault += text;
    }
    if (fault.empty()) fault = MeshFault(w.Classes(), run.Mesh(), {rows * clearing, rows * patch});
    const auto walk = [&] { return walked.BuildMesh(w, true) && Same(run.Mesh(), walked.Mesh()); };
    if (fault.empty() && seed % 3 == 0 && !walk()) {
      fault = "merged ring handles differ from ring walks";
    }
    if (fault.empty()) {  // and what the elimination leaves of it is a wooded layer's polygons
      run.Mesh().Pack(0.0);
      CheckSmallNonWoodedAreas(run.Mesh(), {clearing, patch});
      RemoveSmallAndOpenPolygons(run.Mesh(), {clearing, patch});
      const TLivePolygons live = LivePolygons(run.Mesh());
      fault = live.Fault + PartitionFault(w.Classes(), live.Polygons, {clearing, 0, true, patch});
    }
    if (!fault.empty() && ++failures) ADD_FAILURE() << "seed " << seed << ": " << fault;
  }
}

TEST(RowPassOracle, oneTilePartitionsEveryRasterIntoItsRegionsAndHoles) { Judge(1200, false); }

TEST(RowPassOracle, fourTileCornerPartitionsEveryRasterAcrossBothBorders) { Judge(1100, true); }

// One position per row (the oracle's windows are wider): each row's run is opened, never closed.
TEST(RowPass, aWindowOneColumnWideLeavesEveryRunOpen) {
  TRun run;
  ASSERT_TRUE(run.BuildMesh(Drawn(WestX11 + 10, NorthY11 - 10, {"#", ".", "#"})));
  ASSERT_EQ(run.Mesh().PolygonCount(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(run.Mesh().OuterEdgeCount(run.Mesh().Polygon(i)), 2);
  EXPECT_EQ(run.Mesh()[run.Mesh().Polygon(1)].Area, 0.0);
}

// Corners meet exactly with a header's cell size a hair below 1 m; values that are not finite
// (only a damaged ring holds them) are open and bear no tree; an absorbed polygon's holes follow
// the survivor's own, its last first.
TEST(RowPass, cornersMeetExactlyNonFiniteValuesAreOpenAndAbsorbedHolesComeLast) {
  TRun run;
  run.cellSizeText = "0.99999999";
  run.calc.Settings.Limits.MinClearingArea = 0;
  run.pass.RowPass = [](TRowPassContext& ctx, TTile& tile, int row) {
    if (row == 13) tile.RowRing(tile.MiddleSlot())[16] = HUGE_VAL;
    return VectorizeRow(ctx, tile, row);
  };
  THeightWindow w = Drawn(WestX11 + 10, NorthY11 - 10, {"#####", "#####", "#####"});
  ASSERT_TRUE(run.BuildMesh(w));
  w.At(2, 1) = 0;
  EXPECT_EQ(MeshFault(w.Classes(), run.Mesh(), {}), "");
  EXPECT_EQ(LivePolygons(run.Mesh()).Polygons[0].Rings[0].size(), 4u);
  EXPECT_EQ(run.calc.State.CrownCircles->Count(), 14);  // the flat top, less the open pixel
  run.pass.RowPass = VectorizeRow;
  w = Drawn(w.X0, w.Y0, {"#####.#####", "#.#.#.#.#.#", "#####.#####", "###########"});
  ASSERT_TRUE(run.BuildMesh(w));
  const TPolygonId wood = PolygonAt(run.Mesh(), w.Classes(), 0, 0);
  std::vector<double> xs;  // the west side of each hole, in list order
  for (int h = 0; h < run.Mesh().InnerRingCount(wood); ++h) {
    const TRing ring = RingPoints(run.Mesh(), run.Mesh().InnerRing(wood, h));
    xs.push_back(std::min_element(ring.begin(), ring.end())->first - w.X0);
  }
  EXPECT_EQ(xs, (std::vector<double>{6.5, 8.5, 2.5, 0.5}));
}

// Across the west border: a region crossing it is one polygon without border edges; a loop closed
// around the open pixel north-west of the border corner cuts a hole that names the pixel's
// polygon (in tile 14's first row the record of the row before comes from tile 11); four tiles
// without files are one open polygon.
TEST(RowPass, joinsAcrossTheWestBorderAndClosesLoopsAroundItsNorthWestPixel) {
  TRun run;
  ASSERT_TRUE(run.BuildMesh(Drawn(WestX12 - 6, NorthY11 - 10, {"##########", "##########"})));
  ASSERT_EQ(LivePolygons(run.Mesh()).Polygons.size(), 1u);
  EXPECT_EQ(LivePolygons(run.Mesh()).Polygons[0].Rings[0].size(), 4u);
  for (const double limit : {1.0, 2.0}) {
    run.calc.Settings.Limits.MinClearingArea = limit;
    const THeightWindow w = Drawn(WestX12 - 6, NorthY13 + 4, {"######", "###.##", "######"});
    ASSERT_TRUE(run.BuildMesh(w));
    EXPECT_EQ(MeshFault(w.Classes(), run.Mesh(), {limit, 200}), "");
    EXPECT_EQ(LivePolygons(run.Mesh()).Ids.size(), limit > 1 ? 1u : 2u);
  }
  run.writeFiles = false;
  ASSERT_TRUE(
      run.BuildMesh(Drawn(WestX12 - 8, NorthY13 + 6, std::vector(12, std::string(12, 'n')))));
  ASSERT_EQ(LivePolygons(run.Mesh()).Polygons.size(), 1u);
  EXPECT_EQ(LivePolygons(run.Mesh()).Polygons[0].Area, 144);
}

// ---- links that lead nowhere, and rectangles that cannot be closed: each told once ----

// A damaged mesh around a rectangle's joins is told once, by that rectangle, and the row goes on
// (joined through the sound columns); a rectangle that cannot be closed is told once and fails
// the row and the tile.
TEST(RowPassLinks, aFaultIsReportedOnceByTheRectangleItHappensIn) {
  TRun run;
  run.pass.RowPass = [](TRowPassContext& ctx, TTile& tile, int row) {
    if (row == 13) {
      T2DPolygonMesh& m = ctx.Mesh;
      tile.ColumnLinks()[14].Edge = m.StartRing(m.AddFace(), 0, 0, 0, 1);  // a face, no polygon
      tile.ColumnLinks()[15].Edge = m.StartRing(m.AddFace(), 0, 0, 1, 0);
      m.SetIncidentRing(tile.ColumnLinks()[15].Edge, m.CreateRing());  // a ring, no face
    }
    return VectorizeRow(ctx, tile, row);
  };
  ASSERT_TRUE(run.BuildMesh(Drawn(WestX11 + 10, NorthY11 - 10, {"####", "####"})));
  EXPECT_EQ(run.platform.Texts(),
            std::vector<std::string>{"Error in CloseRectangle, tile 11 row 13, col 17"});
  EXPECT_EQ(run.platform.beeps, 1);
  EXPECT_EQ(LivePolygons(run.Mesh()).Ids.size(), 1u);
  run.pass.RowPass = [](TRowPassContext& ctx, TTile& tile, int row) {
    if (row == 13) tile.ColumnLinks()[15].Edge = TEdgeId(1u << 30);  // outside the mesh
    return VectorizeRow(ctx, tile, row);
  };
  EXPECT_FALSE(run.BuildMesh(Drawn(WestX11 + 10, NorthY11 - 10, {"##..", "####"})));
  EXPECT_EQ(run.platform.Texts(),
            std::vector<std::string>{"Error in CloseRectangle, tile 11 row 13, col 17"});
  EXPECT_EQ(run.platform.beeps, 1);
}

// A second join of a run to the same polygon cuts a hole; a hole ring that does not close (its
// chain broken, as only a damaged mesh has it) fails the join, for the rectangle to report.
TEST(RowPassLinks, aHoleThatCannotBeClosedFailsTheJoin) {
  TRun run;
  run.calc.State.Begin();
  T2DPolygonMesh& m = run.Mesh();
  const TPolygonId q = m.AddPolygon();
  TEdgeId top = m.InsertPointAfter(m.StartRing(q, 0, 0.5, 0, -0.5), 4, -0.5);
  m.Link(top, TEdgeId{});
  TPolygonId p = q;
  TRowPassContext ctx = run.calc.State.RowPassContext({}, {}, {});
  EXPECT_FALSE(JoinPolygons(ctx, p, q, TEdgeId{}, top, {}));
  EXPECT_TRUE(run.platform.messages.empty());
}

}  // namespace
}  // namespace qv::test
