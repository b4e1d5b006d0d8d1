// The row pass and its joins through the real tile pass, judged by the flood-fill oracle:
// random and structured rasters in one tile and around the corner where four tiles meet, with
// every hole kept and with hole limits; merged ring handles against edge-by-edge ring walks; and
// the shapes, records and damaged links the oracle does not see.
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <memory>
#include <random>

#include "RowPassRun.h"
#include "calculation/Joins.h"
#include "calculation/RowGeometry.h"
#include "nhmgen/NhmGenerator.h"

namespace qv::test {
namespace {

TRaster Picture(const std::vector<std::string>& rows) { return Drawn(0, 0, rows).Classes(); }

TEST(Oracle, findsPinchedPocketsAsOneHoleAndRasterisesByTheEvenOddRule) {
  const TRegions pinched = FindRegions(Picture({"######", "#..###", "#.#.##", "##..##", "######"}));
  ASSERT_EQ(pinched.List.size(), 4u);  // the ring, two pockets meeting at a corner, the island
  ASSERT_EQ(pinched.List[0].Holes.size(), 1u);
  EXPECT_EQ(pinched.List[0].Holes[0].size(), 7u);
  EXPECT_TRUE(
      FindRegions(Picture({"###.", "#..#", "####"})).List[0].Holes.empty());  // via a corner
  const TRaster w{4, 3, 100, 50, std::vector<std::uint8_t>(12)};
  const TRing outer{{99.5, 50.5}, {99.5, 47.5}, {103.5, 47.5}, {103.5, 50.5}};
  const TRing hole{{100.5, 49.5}, {101.5, 49.5}, {101.5, 48.5}, {100.5, 48.5}};
  EXPECT_GT(SignedArea(outer), 0.0);
  EXPECT_LT(SignedArea(hole), 0.0);
  const auto pixels = PixelsInside(w, {outer, hole});
  EXPECT_EQ(pixels.size(), 11u);
  EXPECT_FALSE(std::binary_search(pixels.begin(), pixels.end(), w.Index(1, 1)));
}

// Random heights over one of the class patterns the joins find hardest.
THeightWindow RandomWindow(std::mt19937& rng, double x0, double y0, int width, int height) {
  const auto draw = [&rng](int lo, int hi) {
    return std::uniform_int_distribution<int>(lo, hi)(rng);
  };
  const int kind = draw(0, 7), period = draw(1, 3), phase = draw(0, 5), step = draw(2, 4);
  const int density = draw(5, 95);
  auto noise = std::make_shared<std::vector<bool>>();
  for (int i = 0; i < 64 * 64; ++i) noise->push_back(draw(0, 99) < density);
  const auto wooded = [&](int c, int r) -> bool {
    const bool n = (*noise)[static_cast<std::size_t>(r % 64 * 64 + c % 64)];
    const int ring = std::max(std::abs(c - 20 + phase), std::abs(r - 20 + phase));
    switch (kind) {
      case 2:
        return ((c + phase) / period + r / period) % 2 == 0;  // checkerboards
      case 3:
        return std::max(std::abs(c - 3 * phase), std::abs(r - 2 * phase)) / period % 2 == 0;
      case 4:  // a square spiral of walls, one gap per wall ring
        return ring % 2 == 0 &&
               !(c - 20 + phase == ring && r - 20 + phase == -ring + 1 + ring / 2 % 3);
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
  for (int r = 0; r < height; ++r) {
    for (int c = 0; c < width; ++c) {
      const int open = draw(0, 9);  // open: no-data, just below 2 m, or low
      w.Values.push_back(wooded(c, r) ? 2.0 + draw(0, 2800) / 100.0
                         : open == 0  ? NoData
                         : open == 1  ? 1.99
                                      : draw(0, 150) / 100.0);
    }
  }
  return w;
}

// Both meshes were built by the same operations; they must agree object for object.
std::string Difference(const T2DPolygonMesh& a, const T2DPolygonMesh& b) {
  if (a.EdgeCount() != b.EdgeCount() || a.PolygonCount() != b.PolygonCount()) return "counts";
  for (int i = 0; i < a.EdgeCount(); ++i) {
    const TEdgeId e = a.Edge(i);
    if (a.IncidentRing(e) != b.IncidentRing(e) || a[e].Next != b[e].Next ||
        a[e].Origin != b[e].Origin || a[e].Deleted != b[e].Deleted) {
      return "edge " + std::to_string(e.Index);
    }
  }
  for (int i = 0; i < a.PolygonCount(); ++i) {
    const TPolygonId p = a.Polygon(i);
    if (a[p].Deleted != b[p].Deleted || a[p].Area != b[p].Area ||
        a.OuterEdgeCount(p) != b.OuterEdgeCount(p) || a.InnerRingCount(p) != b.InnerRingCount(p)) {
      return "polygon " + std::to_string(p.Index);
    }
    for (int h = 0; h < a.InnerRingCount(p); ++h) {
      const TRingId ring = a.InnerRing(p, h);
      if (ring != b.InnerRing(p, h) || a[ring].EnclosedPolygon != b[ring].EnclosedPolygon) {
        return "hole of polygon " + std::to_string(p.Index);
      }
    }
  }
  return {};
}

// One window with random hole limits (or none), judged by the oracle; every third one is built
// again with ring moves walked edge by edge, which must give the very same mesh.
int Judge(const THeightWindow& w, std::mt19937& rng, int seed, const std::string& where) {
  TRowPassRun run, walked;
  const bool limits = seed % 2 == 1;
  for (TRowPassRun* r : {&run, &walked}) {
    r->calc.MinClearingArea = limits ? 1 + static_cast<int>(rng() % 14) : 0;
    r->calc.MinWoodedArea = limits ? 1 + static_cast<int>(rng() % 14) : 0;
  }
  std::string fault = run.Run(w) ? "" : "run failed";
  if (fault.empty() && !run.Complaints().empty()) fault = run.Complaints()[0];
  const TRules rules{run.calc.MinClearingArea, run.calc.MinWoodedArea};
  if (fault.empty()) fault = MeshFault(w.Classes(), run.Mesh(), rules);
  if (fault.empty() && seed % 3 == 0) {
    walked.calc.MinClearingArea = run.calc.MinClearingArea;
    walked.calc.MinWoodedArea = run.calc.MinWoodedArea;
    fault = walked.Run(w, true) ? Difference(run.Mesh(), walked.Mesh()) : "walked run failed";
  }
  if (fault.empty()) return 0;
  ADD_FAILURE() << where << " seed " << seed << ", limits " << rules.ClearingLimit << "/"
                << rules.OpenHoleLimit << ": " << fault;
  return 1;
}

TEST(RowPassOracle, oneTilePartitionsEveryRasterIntoItsRegionsAndHoles) {
  int failures = 0;
  for (int seed = 1; seed <= 1200 && failures < 3; ++seed) {
    std::mt19937 rng(static_cast<unsigned>(seed));
    const int width = 2 + static_cast<int>(rng() % 39), height = 1 + static_cast<int>(rng() % 40);
    const double x0 = WestX11 + 2 + rng() % 199, y0 = NorthY11 - 2 - rng() % 199;
    failures += Judge(RandomWindow(rng, x0, y0, width, height), rng, seed, "one tile");
  }
}

// The windows straddle the corner of tiles 11, 12, 13 and 14, so regions cross the west and the
// north border of tile 14 and the borders between the others, alone and at once; some are
// windows of the synthetic wooded pasture.
TEST(RowPassOracle, fourTileCornerPartitionsEveryRasterAcrossBothBorders) {
  int failures = 0;
  for (int seed = 1; seed <= 1100 && failures < 3; ++seed) {
    std::mt19937 rng(static_cast<unsigned>(seed) * 7919u);
    const int width = 4 + static_cast<int>(rng() % 37), height = 3 + static_cast<int>(rng() % 38);
    const int west = 4 + static_cast<int>(rng() % (width - 3));
    const int north = 2 + static_cast<int>(rng() % (height - 2));
    THeightWindow w = RandomWindow(rng, WestX12 - west, NorthY13 + north, width, height);
    if (seed > 900) {
      for (int r = 0; r < height; ++r) {
        for (int c = 0; c < width; ++c) {
          w.At(c, r) = nhmgen::ValueAt(static_cast<unsigned>(seed),
                                       static_cast<std::int64_t>(w.X0) + c + seed * 31,
                                       static_cast<std::int64_t>(w.Y0) - r - seed * 17);
        }
      }
    }
    failures += Judge(w, rng, seed, "corner");
  }
}

TEST(RowPass, runsOfOneRowBecomeRectanglesAndTheLastLeavesItsRightSideForTheRightTile) {
  TRowPassRun run;
  TEdgeId recorded;
  run.calc.RowPass = [&](TWoodedAreaCalculation& c, TTile& tile, int row) {
    const bool ok = VectorizeRow(c, tile, row);
    if (row == 12) recorded = tile.RowLinks()[12].Edge;
    return ok;
  };
  const double y = NorthY11 - 10;
  ASSERT_TRUE(run.Run(Drawn(WestX11 + 10, y, {"###.##."})));
  const TLivePolygons live = LivePolygons(run.Mesh());
  ASSERT_EQ(live.Polygons.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(live.Polygons[i].Rings[0].size(), 4u);
  EXPECT_EQ(live.Polygons[3].Area, 1);  // the last pixel differs: a square of its own
  EXPECT_EQ(live.Polygons[1].Rings[0], (TRing{{WestX11 + 12.5, y + 0.5},
                                              {WestX11 + 12.5, y - 0.5},
                                              {WestX11 + 13.5, y - 0.5},
                                              {WestX11 + 13.5, y + 0.5}}));
  const auto& m = run.Mesh();
  ASSERT_TRUE(recorded);
  EXPECT_EQ(m[m[recorded].Origin].Point, T2DPoint(WestX11 + 16.5, y - 0.5));
  EXPECT_EQ(m[m[recorded].Destination].Point, T2DPoint(WestX11 + 16.5, y + 0.5));

  // One position per row: each row's run is opened and never closed.
  TRowPassRun single;
  ASSERT_TRUE(single.Run(Drawn(WestX11 + 10, y, {"#", ".", "#"})));
  ASSERT_EQ(single.Mesh().PolygonCount(), 3);
  for (int i = 0; i < 3; ++i) {
    const TPolygonId p = single.Mesh().Polygon(i);
    EXPECT_EQ(single.Mesh()[p].Area, 0.0);
    EXPECT_EQ(single.Mesh().OuterEdgeCount(p), 2);
  }
  EXPECT_TRUE(run.platform.messages.empty() && single.platform.messages.empty());
}

// Corners must meet exactly even when the header's cell size is a hair below 1 m, and values
// that are not finite (only a damaged ring holds them) are open and bear no tree.
TEST(RowPass, cornersMeetExactlyAndNonFiniteValuesAreOpen) {
  TRowPassRun run;
  run.cellSizeText = "0.99999999";
  run.calc.MinClearingArea = 0;
  run.calc.RowPass = [](TWoodedAreaCalculation& c, TTile& tile, int row) {
    if (row == 13) tile.RowRing(tile.MiddleSlot())[16] = std::numeric_limits<double>::infinity();
    return VectorizeRow(c, tile, row);
  };
  const THeightWindow w = Drawn(WestX11 + 10, NorthY11 - 10, {"#####", "#####", "#####"});
  ASSERT_TRUE(run.Run(w));
  THeightWindow seen = w;
  seen.At(2, 1) = 0;
  EXPECT_EQ(MeshFault(seen.Classes(), run.Mesh(), {}), "");
  EXPECT_EQ(LivePolygons(run.Mesh()).Polygons[0].Rings[0].size(), 4u);
  EXPECT_EQ(run.calc.CrownCircles->Count(), 14);  // the flat top, less the open pixel
}

// Across the west border: one region crossing it is one polygon without border edges; a loop
// closed around the open pixel north-west of the border corner cuts a hole that names the
// pixel's polygon (in tile 14's first row, the record of the row before comes from tile 11).
TEST(RowPass, joinsAcrossTheWestBorderAndClosesLoopsAroundItsNorthWestPixel) {
  TRowPassRun across;
  ASSERT_TRUE(across.Run(Drawn(WestX12 - 6, NorthY11 - 10, {"##########", "##########"})));
  const auto live = LivePolygons(across.Mesh()).Polygons;
  ASSERT_EQ(live.size(), 1u);
  EXPECT_EQ(live[0].Rings[0].size(), 4u);
  for (const bool keep : {true, false}) {
    TRowPassRun run;
    run.calc.MinClearingArea = keep ? 1 : 2;
    const THeightWindow w = Drawn(WestX12 - 6, NorthY13 + 4, {"######", "###.##", "######"});
    ASSERT_TRUE(run.Run(w));
    EXPECT_EQ(MeshFault(w.Classes(), run.Mesh(), {keep ? 1.0 : 2.0, 200}), "");
    EXPECT_EQ(LivePolygons(run.Mesh()).Ids.size(), keep ? 2u : 1u);
    EXPECT_TRUE(run.Complaints().empty());
  }
  TRowPassRun dummies;  // four tiles without files: one open polygon
  dummies.writeFiles = false;
  ASSERT_TRUE(dummies.Run(
      Drawn(WestX12 - 8, NorthY13 + 6, std::vector<std::string>(12, std::string(12, 'n')))));
  ASSERT_EQ(LivePolygons(dummies.Mesh()).Polygons.size(), 1u);
  EXPECT_EQ(LivePolygons(dummies.Mesh()).Polygons[0].Area, 144);
}

// An absorbed polygon's holes follow the survivor's own, the absorbed polygon's last first.
TEST(RowPass, holesOfAnAbsorbedPolygonFollowTheSurvivorsOwnInReverseOrder) {
  TRowPassRun run;
  run.calc.MinClearingArea = 0;
  const THeightWindow w = Drawn(WestX11 + 10, NorthY11 - 10,
                                {"#####.#####", "#.#.#.#.#.#", "#####.#####", "###########"});
  ASSERT_TRUE(run.Run(w));
  const TPolygonId wood = PolygonAt(run.Mesh(), w.Classes(), 0, 0);
  ASSERT_EQ(run.Mesh().InnerRingCount(wood), 4);
  std::vector<double> xs;  // the x of each hole's west side, in list order
  for (int h = 0; h < 4; ++h) {
    const TRing ring = RingPoints(run.Mesh(), run.Mesh().InnerRing(wood, h));
    xs.push_back(std::min_element(ring.begin(), ring.end())->first - WestX11);
  }
  EXPECT_EQ(xs, (std::vector<double>{16.5, 18.5, 12.5, 10.5}));
}

// ---- links that lead nowhere, and rectangles that cannot be closed ----

TEST(RowPassLinks, aColumnLinkWithoutFaceOrPolygonIsReportedAndMakesNoJoin) {
  TRowPassRun run;
  run.calc.RowPass = [](TWoodedAreaCalculation& c, TTile& tile, int row) {
    if (row == 13) {
      T2DPolygonMesh& m = *c.PolygonMesh;
      tile.ColumnLinks()[14].Edge = m.StartRing(m.AddFace(), 0, 0, 0, 1);  // a face, no polygon
      tile.ColumnLinks()[15].Edge = m.StartRing(m.AddFace(), 0, 0, 1, 0);
      m.SetIncidentRing(tile.ColumnLinks()[15].Edge, m.CreateRing());  // a ring, no face
    }
    return VectorizeRow(c, tile, row);
  };
  ASSERT_TRUE(run.Run(Drawn(WestX11 + 10, NorthY11 - 10, {"####", "####"})));
  EXPECT_EQ(run.platform.Texts(),
            (std::vector<std::string>{"EdgeQ.IncidentFace.Polygon nil", "EdgeQ.IncidentFace nil"}));
  EXPECT_EQ(LivePolygons(run.Mesh()).Ids.size(), 1u);  // joined through the sound columns
}

TEST(RowPassLinks, aRunThatCannotBeClosedFailsTheRowWithBothMessages) {
  TRowPassRun run;
  run.calc.RowPass = [](TWoodedAreaCalculation& c, TTile& tile, int row) {
    if (row != 12) return VectorizeRow(c, tile, row);
    TRowState state;  // a run whose polygon has no ring: what a damaged mesh would give
    state.Row = row;
    state.Slot = tile.MiddleSlot();
    state.Y = BuiltRowCenterY(tile, row);
    state.Ring = TRingRows::Around(tile, state.Slot);
    state.RunOpen = state.PreviousClass = true;
    state.RunStartCol = 14;
    c.PolygonMesh->AddPolygon();
    TRowPassContext ctx = c.RowPassContext();
    return VectorizePixel(ctx, tile, state, 16, false);
  };
  EXPECT_FALSE(run.Run(Drawn(WestX11 + 10, NorthY11 - 10, {"##..", "####"})));
  EXPECT_EQ(run.platform.Texts(),
            (std::vector<std::string>{"Error in CloseRectangle, tile 11 row 12, col 16",
                                      "Error in CloseRectangle"}));
  EXPECT_EQ(run.platform.beeps, 2);
}

// A join whose edges cannot all be named (Q's bottom edge has lost its predecessor) stops
// relinking there and still does its bookkeeping; nothing is read through a nil link.
TEST(RowPassLinks, aJoinMeetingANilLinkStopsRelinkingAndKeepsItsBookkeeping) {
  RecordingPlatform platform;
  TWoodedAreaCalculation calc;
  calc.BeginRun();
  T2DPolygonMesh& m = *calc.PolygonMesh;
  const auto rectangle = [&m](double x0, double x1, double y) {
    const TPolygonId p = m.AddPolygon();
    const TEdgeId bottom =
        m.InsertPointAfter(m.StartRing(p, x0, y + 0.5, x0, y - 0.5), x1, y - 0.5);
    m.InsertPointAfter(bottom, x1, y + 0.5);
    m.SetArea(p, x1 - x0);
    return std::pair{p, bottom};
  };
  const auto [q, edgeQ] = rectangle(0, 4, 1);
  auto [p, bottomP] = rectangle(1, 3, 0);
  m.Link(TEdgeId{}, edgeQ);
  TEdgeId topEdge = m[m[bottomP].Next].Next;
  TRowPassContext ctx = calc.RowPassContext();
  EXPECT_NO_THROW(JoinPolygons(ctx, p, q, edgeQ, topEdge, {}));
  EXPECT_EQ(p, q);
  EXPECT_EQ(m[q].Area, 6);
  EXPECT_EQ(m.IncidentPolygon(bottomP), q);  // P's edges moved to Q's ring
  EXPECT_EQ(topEdge, edgeQ);                 // the right end is relinked: edgeQ starts at TR
  EXPECT_EQ(m[m[edgeQ].Origin].Point, T2DPoint(3, 0.5));
  EXPECT_EQ(m.OuterEdgeCount(q), 8);
  EXPECT_TRUE(platform.messages.empty());
}

}  // namespace
}  // namespace qv::test
