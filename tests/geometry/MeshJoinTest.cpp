// Joining polygons by relinking (LinkThrough, MarkEdgeDeleted, ResetIncidentRing), cutting holes
// (RebuildRingFrom), and the equivalence of merged ring handles with edge-by-edge ring walks.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "MeshCheck.h"
#include "RecordingPlatform.h"
#include "RowJoin.h"
#include "geometry/PolygonMesh.h"

namespace qv {
namespace {

using test::RingFault;
using test::TRowJoiner;
using test::TRowJoinLimits;
using TRaster = std::vector<std::vector<bool>>;

TRaster Parse(const std::vector<std::string>& rows) {
  TRaster raster;
  for (const auto& row : rows) {
    std::vector<bool> line;
    for (const char c : row) line.push_back(c == '#');
    raster.push_back(line);
  }
  return raster;
}

void Build(T2DPolygonMesh& mesh, const TRaster& raster, TRowJoinLimits limits = {},
           int* rebuildFailures = nullptr) {
  TRowJoiner joiner(mesh, static_cast<int>(raster.front().size()), limits);
  for (const auto& row : raster) joiner.AddRow(row);
  if (rebuildFailures) *rebuildFailures = joiner.RebuildFailures();
}

std::vector<TPolygonId> LivePolygons(const T2DPolygonMesh& mesh) {
  std::vector<TPolygonId> live;
  for (int i = 0; i < mesh.PolygonCount(); ++i) {
    if (!mesh[mesh.Polygon(i)].Deleted) live.push_back(mesh.Polygon(i));
  }
  return live;
}

// Every ring of every live polygon is a proper cycle of its polygon, and (all holes kept) the
// polygon's area is its outer ring's area less its holes.
void ExpectConsistentRings(const T2DPolygonMesh& mesh, bool allHolesKept, const std::string& what) {
  for (const TPolygonId p : LivePolygons(mesh)) {
    const TRingId outer = mesh.OuterRing(p);
    ASSERT_EQ(RingFault(mesh, outer), "") << what << " outer ring of polygon " << p.Index;
    EXPECT_EQ(mesh.IncidentPolygon(mesh.FirstEdge(p)), p) << what;
    EXPECT_GT(mesh.Area(outer), 0.0) << what << " outer rings run counter-clockwise";
    double rings = mesh.Area(outer);
    for (int h = 0; h < mesh.InnerRingCount(p); ++h) {
      const TRingId hole = mesh.InnerRing(p, h);
      ASSERT_EQ(RingFault(mesh, hole), "") << what << " hole " << h << " of " << p.Index;
      EXPECT_EQ(mesh[hole].IncidentFace, mesh[p].Face) << what;
      EXPECT_LT(mesh.Area(hole), 0.0) << what << " holes run clockwise";
      rings += mesh.Area(hole);
    }
    if (allHolesKept) {
      EXPECT_DOUBLE_EQ(rings, mesh[p].Area) << what << " polygon " << p.Index;
    }
  }
}

// Both meshes were built by the same operations; they must agree object for object.
void ExpectSameMesh(const T2DPolygonMesh& a, const T2DPolygonMesh& b, const std::string& what) {
  ASSERT_EQ(a.EdgeCount(), b.EdgeCount()) << what;
  ASSERT_EQ(a.PolygonCount(), b.PolygonCount()) << what;
  for (int i = 0; i < a.EdgeCount(); ++i) {
    const TEdgeId e = a.Edge(i);
    ASSERT_EQ(e, b.Edge(i)) << what;
    ASSERT_EQ(a.IncidentRing(e), b.IncidentRing(e)) << what << " edge " << e.Index;
    ASSERT_EQ(a[e].Next, b[e].Next) << what;
    ASSERT_EQ(a[e].Origin, b[e].Origin) << what;
    ASSERT_EQ(a[e].Deleted, b[e].Deleted) << what;
  }
  for (int i = 0; i < a.PolygonCount(); ++i) {
    const TPolygonId p = a.Polygon(i);
    ASSERT_EQ(a[p].Deleted, b[p].Deleted) << what;
    ASSERT_EQ(a[p].Area, b[p].Area) << what;
    ASSERT_EQ(a.OuterEdgeCount(p), b.OuterEdgeCount(p)) << what;
    ASSERT_EQ(a.InnerRingCount(p), b.InnerRingCount(p)) << what;
    for (int h = 0; h < a.InnerRingCount(p); ++h) {
      ASSERT_EQ(a.InnerRing(p, h), b.InnerRing(p, h)) << what;
      ASSERT_EQ(a[a.InnerRing(p, h)].EnclosedPolygon, b[b.InnerRing(p, h)].EnclosedPolygon);
    }
  }
}

TEST(MeshJoin, stackedRectanglesBecomeOneRingAndTheLowerIsAbsorbed) {
  for (const bool exact : {false, true}) {
    T2DPolygonMesh mesh;
    mesh.SetExactRingWalks(exact);
    Build(mesh, Parse({"##", "##"}));
    ASSERT_EQ(mesh.PolygonCount(), 2);
    const TPolygonId q = mesh.Polygon(0);
    const TPolygonId p = mesh.Polygon(1);
    EXPECT_FALSE(mesh[q].Deleted);
    EXPECT_TRUE(mesh[p].Deleted);
    EXPECT_EQ(mesh[q].Area, 4.0);
    EXPECT_EQ(mesh.OuterEdgeCount(q), 4);
    EXPECT_EQ(RingFault(mesh, mesh.OuterRing(q)), "");
    EXPECT_DOUBLE_EQ(mesh.Area(mesh.OuterRing(q)), 4.0);
    // The four edges along the shared line were flagged through the absorbed polygon.
    EXPECT_EQ(mesh[p].DeletedEdges, 4);
    EXPECT_EQ(mesh.DeletedEdges(), 0);
    EXPECT_EQ(mesh.DeletedPolygons(), 1);
    EXPECT_EQ(mesh.DeletedFaces(), 1);
    // Flagged edges keep the ring they were on when flagged; live ones moved to Q's ring.
    int live = 0;
    for (int i = 0; i < mesh.EdgeCount(); ++i) {
      const TEdgeId e = mesh.Edge(i);
      EXPECT_EQ(mesh.IncidentRing(e), mesh.OuterRing(q)) << "edge " << e.Index;
      live += mesh[e].Deleted ? 0 : 1;
    }
    EXPECT_EQ(live, 4);
    mesh.Pack(0.0);
    EXPECT_EQ(mesh.EdgeCount(), 8);  // edges flagged through polygons stay
    EXPECT_EQ(mesh.PolygonCount(), 1);
    EXPECT_EQ(RingFault(mesh, mesh.OuterRing(q)), "");
  }
}

TEST(MeshJoin, closingALoopCutsAHoleAroundTheEnclosedPolygon) {
  const TRaster u = Parse({"###", "#.#", "###"});
  for (const bool exact : {false, true}) {
    T2DPolygonMesh mesh;
    mesh.SetExactRingWalks(exact);
    int failures = -1;
    Build(mesh, u, {}, &failures);
    EXPECT_EQ(failures, 0);
    const auto live = LivePolygons(mesh);
    ASSERT_EQ(live.size(), 2u);
    const TPolygonId wood = live[0];
    const TPolygonId open = live[1];
    EXPECT_TRUE(mesh[wood].IsWooded);
    EXPECT_FALSE(mesh[open].IsWooded);
    EXPECT_EQ(mesh[wood].Area, 8.0);
    ASSERT_EQ(mesh.InnerRingCount(wood), 1);
    EXPECT_EQ(mesh.PartCount(wood), 2);
    const TRingId hole = mesh.InnerRing(wood, 0);
    EXPECT_EQ(mesh[hole].EdgeCount, 4);
    EXPECT_DOUBLE_EQ(mesh.Area(hole), -1.0);
    EXPECT_EQ(mesh[hole].EnclosedPolygon, open);
    EXPECT_DOUBLE_EQ(mesh.Area(mesh.OuterRing(wood)), 9.0);
    EXPECT_EQ(mesh.TotalEdgeCount(wood), mesh.OuterEdgeCount(wood) + 4);
    ExpectConsistentRings(mesh, true, exact ? "exact" : "merged");
  }
}

TEST(MeshJoin, aHoleBelowTheLimitIsFilledAndItsEdgesBelongToNoRing) {
  T2DPolygonMesh mesh;
  Build(mesh, Parse({"###", "#.#", "###"}), {2.0, 0.0});
  const auto live = LivePolygons(mesh);
  ASSERT_EQ(live.size(), 1u);  // the enclosed open pixel was flagged deleted
  const TPolygonId wood = live[0];
  EXPECT_EQ(mesh.InnerRingCount(wood), 0);
  EXPECT_EQ(mesh[wood].Area, 9.0);
  ExpectConsistentRings(mesh, false, "filled");
  int orphans = 0;
  for (int i = 0; i < mesh.EdgeCount(); ++i) {
    const TEdgeId e = mesh.Edge(i);
    if (!mesh[e].Deleted && !mesh.IncidentRing(e)) ++orphans;
  }
  EXPECT_EQ(orphans, 4);  // the discarded hole's edges
}

TEST(MeshJoin, holesOfAnAbsorbedPolygonMoveToTheSurvivorInReverseOrder) {
  // Two wooded blobs with one clearing each, joined by a run below that first meets the left
  // blob and then the right one: the left blob (already holding the run) is absorbed by the
  // right one and hands its hole over.
  const TRaster raster = Parse({"###.###",
                                "#.#.#.#",
                                "###.###",
                                "#######"});
  for (const bool exact : {false, true}) {
    T2DPolygonMesh mesh;
    mesh.SetExactRingWalks(exact);
    Build(mesh, raster);
    const auto live = LivePolygons(mesh);
    std::vector<TPolygonId> wooded;
    for (const TPolygonId p : live) {
      if (mesh[p].IsWooded) wooded.push_back(p);
    }
    ASSERT_EQ(wooded.size(), 1u);
    const TPolygonId right = wooded[0];
    EXPECT_EQ(mesh[right].Area, 23.0);
    ASSERT_EQ(mesh.InnerRingCount(right), 2);
    // Its own hole first, then the one handed over; each encloses the open pixel beside it.
    const double x0 = mesh[mesh[mesh[mesh.InnerRing(right, 0)].FirstEdge].Origin].X();
    const double x1 = mesh[mesh[mesh[mesh.InnerRing(right, 1)].FirstEdge].Origin].X();
    EXPECT_GT(x0, 3.0);
    EXPECT_LT(x1, 3.0);
    ExpectConsistentRings(mesh, true, exact ? "exact" : "merged");
  }
}

TRaster RandomRaster(std::mt19937& rng, int width, int height, double density) {
  std::bernoulli_distribution wooded(density);
  TRaster raster(static_cast<std::size_t>(height), std::vector<bool>(static_cast<std::size_t>(width)));
  for (auto& row : raster) {
    for (std::size_t c = 0; c < row.size(); ++c) row[c] = wooded(rng);
  }
  return raster;
}

// Merged ring handles must give exactly the rings that walking every edge gives, and both must
// leave proper rings, on rasters of every kind.
void ExpectMergedEqualsWalked(const TRaster& raster, TRowJoinLimits limits, const std::string& what) {
  test::RecordingPlatform platform;
  T2DPolygonMesh merged;
  T2DPolygonMesh walked;
  walked.SetExactRingWalks(true);
  int mergedFailures = -1;
  int walkedFailures = -1;
  Build(merged, raster, limits, &mergedFailures);
  Build(walked, raster, limits, &walkedFailures);
  EXPECT_FALSE(merged.ExactRingWalks()) << what;
  EXPECT_EQ(mergedFailures, 0) << what;
  EXPECT_EQ(walkedFailures, 0) << what;
  EXPECT_TRUE(platform.messages.empty()) << what;
  ExpectSameMesh(merged, walked, what);
  const bool allKept = limits.MinClearingArea == 0.0 && limits.MinWoodedArea == 0.0;
  ExpectConsistentRings(merged, allKept, what);
  if (allKept) {
    double total = 0.0;
    for (const TPolygonId p : LivePolygons(merged)) total += merged[p].Area;
    EXPECT_EQ(total, static_cast<double>(raster.size() * raster.front().size())) << what;
  }
}

TEST(MeshJoin, mergedRingHandlesGiveTheRingsOfEdgeWalksOnRandomRasters) {
  std::mt19937 rng(20261206);
  std::uniform_int_distribution<int> size(1, 14);
  std::uniform_real_distribution<double> density(0.05, 0.95);
  for (int round = 0; round < 1500; ++round) {
    const int w = size(rng);
    const int h = size(rng);
    const TRaster raster = RandomRaster(rng, w, h, density(rng));
    const TRowJoinLimits limits = round % 3 == 0 ? TRowJoinLimits{3.0, 2.0} : TRowJoinLimits{};
    ExpectMergedEqualsWalked(raster, limits, "round " + std::to_string(round));
    if (HasFatalFailure() || HasNonfatalFailure()) return;
  }
}

TEST(MeshJoin, mergedRingHandlesGiveTheRingsOfEdgeWalksOnStructuredRasters) {
  const std::vector<std::pair<std::string, TRaster>> cases = {
      {"checkerboard", Parse({"#.#.#.", ".#.#.#", "#.#.#.", ".#.#.#"})},
      {"concentric", Parse({"#########", "#.......#", "#.#####.#", "#.#...#.#", "#.#.#.#.#",
                            "#.#...#.#", "#.#####.#", "#.......#", "#########"})},
      {"spiral", Parse({"#########", "........#", "#######.#", "#.....#.#", "#.###.#.#",
                        "#.#...#.#", "#.#####.#", "#.......#", "#########"})},
      {"comb", Parse({"#.#.#.#.#", "#.#.#.#.#", "#.#.#.#.#", "#########"})},
      {"diagonal pinch", Parse({"##..", "##..", "..##", "..##"})},
      {"single pixel", Parse({"#"})},
      {"one row", Parse({"#..##.#"})},
  };
  for (const auto& [name, raster] : cases) {
    ExpectMergedEqualsWalked(raster, {}, name);
    ExpectMergedEqualsWalked(raster, {100.0, 200.0}, name + " filled");
  }
}

TEST(MeshJoin, freeingAMeshAfterManyJoinsAndDeletionsIsClean) {
  std::mt19937 rng(7);
  for (int round = 0; round < 20; ++round) {
    T2DPolygonMesh mesh;
    Build(mesh, RandomRaster(rng, 60, 60, 0.3 + 0.02 * round), {4.0, 4.0});
    mesh.Pack(0.0);
    for (int i = mesh.PolygonCount() - 1; i >= 0; --i) {
      const TPolygonId p = mesh.Polygon(i);
      if (!mesh[p].IsWooded || mesh[p].Area < 5.0) mesh.DeletePolygon(i);
    }
    mesh.Pack(0.0);
    ExpectConsistentRings(mesh, false, "round " + std::to_string(round));
    EXPECT_EQ(mesh.FaceCount(), mesh.PolygonCount());
  }
}

}  // namespace
}  // namespace qv
