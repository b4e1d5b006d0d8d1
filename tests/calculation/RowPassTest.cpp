#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

#include "PartitionCheck.h"
#include "RowPassRun.h"
#include "calculation/RowGeometry.h"
#include "calculation/Joins.h"
#include "calculation/RowPass.h"
#include "calculation/WoodedAreaCalculation.h"

namespace qv::test {
namespace {

// How random rasters are partitioned, hole limits and no-data included, is judged against the
// flood-fill reference in RowPassOracleTest; these are the shapes, records and damaged states it
// does not reach.

// '#' a 5 m tree pixel, '.' 0.5 m grass, 'n' no-data.
THeightWindow Drawn(double x0, double y0, const std::vector<std::string>& rows) {
  THeightWindow w{x0, y0, static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), {}};
  for (const auto& row : rows) {
    for (const char ch : row) w.Values.push_back(ch == '#' ? 5.0 : ch == 'n' ? NoData : 0.5);
  }
  return w;
}

std::vector<TLivePolygon> Live(TRowPassRun& run) { return LivePolygons(run.Mesh()); }

const TLivePolygon* PolygonAt(const std::vector<TLivePolygon>& live, const TRasterWindow& w, int c,
                              int r) {
  for (const auto& p : live) {
    std::vector<TRingPoints> rings{p.Outer};
    rings.insert(rings.end(), p.Holes.begin(), p.Holes.end());
    const auto pixels = RasterizeEvenOdd(w, rings);
    if (std::binary_search(pixels.begin(), pixels.end(), w.Index(c, r))) return &p;
  }
  return nullptr;
}

TEST(RowPass, runsOfOneRowBecomeRectanglesAndTheLastRunLeavesItsRightSide) {
  TRowPassRun run;
  const auto w = Drawn(WestX11 + 10, NorthY11 - 10, {"###.##."});
  TEdgeId recorded;
  run.calc.RowPass = [&](TWoodedAreaCalculation& c, TTile& tile, int row) {
    const bool ok = VectorizeRow(c, tile, row);
    if (row == 12) recorded = tile.RowLinks()[12].Edge;
    return ok;
  };
  ASSERT_TRUE(run.Run(w));
  const auto live = Live(run);
  ASSERT_EQ(live.size(), 4u);
  const double areas[] = {3, 1, 2, 1};  // the last pixel differs: a square of its own
  const double y = NorthY11 - 10;
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(live[i].Area, areas[i]);
    EXPECT_EQ(live[i].Wooded, i % 2 == 0);
    EXPECT_EQ(live[i].Outer.Points.size(), 4u);
    EXPECT_TRUE(live[i].Fault.empty()) << live[i].Fault;
  }
  EXPECT_EQ(live[1].Outer.Points,
            (std::vector<std::pair<double, double>>{{WestX11 + 12.5, y + 0.5},
                                                    {WestX11 + 12.5, y - 0.5},
                                                    {WestX11 + 13.5, y - 0.5},
                                                    {WestX11 + 13.5, y + 0.5}}));
  // The record is the right side of the last run, rising on the line where the pass stopped.
  ASSERT_TRUE(recorded);
  const auto& m = run.Mesh();
  EXPECT_EQ(m[m[recorded].Origin].Point, T2DPoint(WestX11 + 16.5, y - 0.5));
  EXPECT_EQ(m[m[recorded].Destination].Point, T2DPoint(WestX11 + 16.5, y + 0.5));
  EXPECT_TRUE(run.platform.messages.empty());
}

TEST(RowPass, aSinglePositionPerRowLeavesOneEdgeOfAreaZeroPerRow) {
  TRowPassRun run;
  ASSERT_TRUE(run.Run(Drawn(WestX11 + 10, NorthY11 - 10, {"#", ".", "#"})));
  const auto& m = run.Mesh();
  ASSERT_EQ(m.PolygonCount(), 3);
  for (int i = 0; i < 3; ++i) {
    const TPolygonId p = m.Polygon(i);
    EXPECT_FALSE(m[p].Deleted);
    EXPECT_EQ(m[p].Area, 0.0);
    EXPECT_EQ(m.OuterEdgeCount(p), 2);
    const TEdgeId e = m.FirstEdge(p);
    EXPECT_EQ(m[e].Next, e);
  }
  EXPECT_TRUE(run.platform.messages.empty());
}

// With a cell size a hair below 1 m the header passes the check, and the rows must still share
// their corners: a 3 x 3 block is one polygon with a 4-edge outline on whole half metres.
TEST(RowPass, aCellSizeAHairBelowOneMetreStillJoinsRowsAtExactCorners) {
  TRowPassRun run;
  run.cellSizeText = "0.99999999";
  ASSERT_TRUE(run.Run(Drawn(WestX11 + 10, NorthY11 - 10, {"###", "###", "###"})));
  const auto live = Live(run);
  ASSERT_EQ(live.size(), 1u);
  EXPECT_EQ(live[0].Area, 9);
  const double x = WestX11 + 9.5, y = NorthY11 - 9.5;
  auto corners = live[0].Outer.Points;
  std::sort(corners.begin(), corners.end());
  EXPECT_EQ(corners, (std::vector<std::pair<double, double>>{
                         {x, y - 3}, {x, y}, {x + 3, y - 3}, {x + 3, y}}));
}

// Values that are not finite reach the row pass only through a damaged ring; they are open.
TEST(RowPass, nonFiniteValuesInTheRingAreOpenAndBearNoTree) {
  TRowPassRun run;
  const auto w = Drawn(WestX11 + 10, NorthY11 - 10, {"#####"});
  run.calc.RowPass = [](TWoodedAreaCalculation& c, TTile& tile, int row) {
    tile.RowRing(tile.MiddleSlot())[16] = std::numeric_limits<double>::infinity();
    return VectorizeRow(c, tile, row);
  };
  ASSERT_TRUE(run.Run(w));
  const auto live = Live(run);
  ASSERT_EQ(live.size(), 3u);
  EXPECT_FALSE(live[1].Wooded);
  EXPECT_EQ(live[1].Area, 1);
  EXPECT_EQ(run.calc.CrownCircles->Count(), 4);  // flat tops of 5 m on either side
}

// ---- across the west border ----

TEST(RowPassAcrossTheWestBorder, aRegionCrossingTheBorderIsOnePolygonWithoutBorderEdges) {
  TRowPassRun run;
  const auto w = Drawn(WestX12 - 6, NorthY11 - 10, {"##########", "##########"});
  ASSERT_TRUE(run.Run(w));
  const auto live = Live(run);
  ASSERT_EQ(live.size(), 1u);
  EXPECT_EQ(live[0].Area, 20);
  EXPECT_EQ(live[0].Outer.Points.size(), 4u);
  EXPECT_TRUE(live[0].Fault.empty()) << live[0].Fault;
}

// The run at the border's first built column (global -2) closes the wooded polygon around the
// open pixel just north-west of its top-left corner. In the bottom tile's first row the record
// of the row before comes from the tile above-left.
TEST(RowPassAcrossTheWestBorder, closingLoopAroundTheNorthWestPixelCutsOrFillsAHole) {
  const std::vector<std::string> ring = {
      "######",
      "###.##",
      "######",
  };
  for (const bool keep : {true, false}) {
    TRowPassRun run;
    run.calc.MinClearingArea = keep ? 1 : 2;
    // Columns -6..-1, rows -4..-2 around tile 14's north-west corner.
    const auto w = Drawn(WestX12 - 6, NorthY13 + 4, ring);
    ASSERT_TRUE(run.Run(w));
    EXPECT_EQ(TPartitionCheck(w.Classes(), run.Mesh(), {keep ? 1.0 : 2.0, 200}).Fault(), "");
    const auto live = Live(run);
    ASSERT_EQ(live.size(), keep ? 2u : 1u);
    const auto* wooded = PolygonAt(live, w.Classes(), 0, 0);
    ASSERT_NE(wooded, nullptr);
    EXPECT_EQ(wooded->Area, keep ? 17 : 18);
    if (keep) {
      ASSERT_EQ(wooded->HoleIds.size(), 1u);
      const auto* pixel = PolygonAt(live, w.Classes(), 3, 1);
      ASSERT_NE(pixel, nullptr);
      EXPECT_EQ(run.Mesh()[wooded->HoleIds[0]].EnclosedPolygon, pixel->Id);
    }
    EXPECT_TRUE(run.Complaints().empty());
  }
}

TEST(RowPassAcrossTheWestBorder, fourTilesWithoutFilesAreOneOpenPolygon) {
  TRowPassRun run;
  run.writeFiles = false;
  const auto w = Drawn(WestX12 - 8, NorthY13 + 6, std::vector<std::string>(12, "nnnnnnnnnnnn"));
  ASSERT_TRUE(run.Run(w));
  const auto live = Live(run);
  ASSERT_EQ(live.size(), 1u);
  EXPECT_FALSE(live[0].Wooded);
  EXPECT_EQ(live[0].Area, 144);
  EXPECT_EQ(run.calc.Tiles.Count(), 4);
}

// ---- links that lead nowhere, and rectangles that cannot be closed ----

TEST(RowPassLinks, aColumnLinkWithoutFaceOrPolygonIsReportedAndMakesNoJoin) {
  TRowPassRun run;
  const auto w = Drawn(WestX11 + 10, NorthY11 - 10, {"####", "####"});
  run.calc.RowPass = [](TWoodedAreaCalculation& c, TTile& tile, int row) {
    if (row == 13) {
      T2DPolygonMesh& m = *c.PolygonMesh;
      const TEdgeId noPolygon = m.StartRing(m.AddFace(), 0, 0, 0, 1);
      const TEdgeId noFace = m.StartRing(m.AddFace(), 0, 0, 1, 0);
      m.SetIncidentRing(noFace, m.CreateRing());
      tile.ColumnLinks()[14].Edge = noPolygon;
      tile.ColumnLinks()[15].Edge = noFace;
    }
    return VectorizeRow(c, tile, row);
  };
  ASSERT_TRUE(run.Run(w));
  EXPECT_EQ(run.platform.Texts(),
            (std::vector<std::string>{"EdgeQ.IncidentFace.Polygon nil", "EdgeQ.IncidentFace nil"}));
  EXPECT_EQ(Live(run).size(), 1u);  // joined through the columns whose links are sound
}

TEST(RowPassLinks, aRunThatCannotBeClosedFailsTheRowWithBothMessages) {
  TRowPassRun run;
  const auto w = Drawn(WestX11 + 10, NorthY11 - 10, {"##..", "####"});
  run.calc.RowPass = [](TWoodedAreaCalculation& c, TTile& tile, int row) {
    if (row != 12) return VectorizeRow(c, tile, row);
    // A run whose polygon has no ring: what a damaged mesh would hand CloseRectangle.
    TRowState state;
    state.Row = row;
    state.Slot = tile.MiddleSlot();
    state.Y = BuiltRowCenterY(tile, row);
    state.Ring = TRingRows::Around(tile, state.Slot);
    state.RunOpen = true;
    state.RunStartCol = 14;
    state.PreviousClass = true;
    c.PolygonMesh->AddPolygon();
    TRowPassContext ctx = c.RowPassContext();
    return VectorizePixel(ctx, tile, state, 16, false);
  };
  EXPECT_FALSE(run.Run(w));
  EXPECT_EQ(run.platform.Texts(),
            (std::vector<std::string>{"Error in CloseRectangle, tile 11 row 12, col 16",
                                      "Error in CloseRectangle"}));
  EXPECT_EQ(run.platform.beeps, 2);
}

// A join whose names cannot all be taken (Q's bottom edge has lost its predecessor) stops
// relinking there and still does its bookkeeping; nothing is read through a nil link.
TEST(RowPassLinks, aJoinMeetingANilLinkStopsRelinkingAndKeepsItsBookkeeping) {
  RecordingPlatform platform;
  TWoodedAreaCalculation calc;
  calc.BeginRun();
  T2DPolygonMesh& m = *calc.PolygonMesh;
  auto rectangle = [&](double x0, double x1, double y) {
    const TPolygonId p = m.AddPolygon();
    m.StartRing(p, x0, y + 0.5, x0, y - 0.5);
    const TEdgeId bottom = m.InsertPointAfter(m.FirstEdge(p), x1, y - 0.5);
    m.InsertPointAfter(bottom, x1, y + 0.5);
    m.SetArea(p, x1 - x0);
    return std::pair{p, bottom};
  };
  const auto [q, edgeQ] = rectangle(0, 4, 1);
  const auto [p, bottomP] = rectangle(1, 3, 0);
  m.Link(TEdgeId{}, edgeQ);  // edgeQ.Prev := nil
  TEdgeId topEdge = m[m[bottomP].Next].Next;
  TRowPassContext ctx = calc.RowPassContext();
  TPolygonId joined = p;
  EXPECT_NO_THROW(JoinPolygons(ctx, joined, q, edgeQ, topEdge, {}));
  EXPECT_EQ(m[q].Area, 6);
  EXPECT_EQ(m.IncidentPolygon(bottomP), q);  // step 1 done
  EXPECT_EQ(topEdge, edgeQ);                 // step 2 done: edgeQ now starts at TR
  EXPECT_EQ(m[m[edgeQ].Origin].Point, T2DPoint(3, 0.5));
  EXPECT_EQ(m.OuterEdgeCount(q), 8);
  EXPECT_TRUE(platform.messages.empty());
}

}  // namespace
}  // namespace qv::test
