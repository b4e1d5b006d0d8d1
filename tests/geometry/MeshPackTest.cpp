// Two-phase deletion: flags and counters, Pack with its strict ratio test, DeletePolygon.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "MeshCheck.h"
#include "RecordingPlatform.h"
#include "geometry/IdList.h"
#include "geometry/PolygonMesh.h"

namespace qv {
namespace {

TPolygonId Rectangle(T2DPolygonMesh& mesh, double x0) {
  const TPolygonId p = test::Rectangle(mesh, x0, 0, x0 + 1, 1);
  mesh.SetArea(p, x0);  // tells the polygons apart
  return p;
}

std::vector<double> Areas(const T2DPolygonMesh& mesh) {
  std::vector<double> areas;
  for (int i = 0; i < mesh.PolygonCount(); ++i) areas.push_back(mesh[mesh.Polygon(i)].Area);
  return areas;
}

TEST(MeshPack, purgesOnlyWhenTheCounterExceedsRatioTimesTheLength) {
  T2DPolygonMesh mesh;
  for (int i = 0; i < 10; ++i) Rectangle(mesh, i);
  for (int i = 0; i < 10; ++i) mesh.MarkPolygonDeleted(mesh.Polygon(i));
  EXPECT_EQ(mesh.DeletedPolygons(), 10);
  EXPECT_EQ(mesh.DeletedFaces(), 10);
  mesh.Pack(3.0);  // 10 > 30 is false
  EXPECT_EQ(mesh.PolygonCount(), 10);
  EXPECT_EQ(mesh.FaceCount(), 10);
  mesh.Pack(1.0);  // 10 > 10 is false: the test is strict
  EXPECT_EQ(mesh.PolygonCount(), 10);
  mesh.Pack(0.99);
  EXPECT_EQ(mesh.PolygonCount(), 0);
  EXPECT_EQ(mesh.FaceCount(), 0);
  EXPECT_EQ(mesh.DeletedPolygons(), 0);
  EXPECT_EQ(mesh.DeletedFaces(), 0);
  EXPECT_EQ(mesh.EdgeCount(), 40);  // edges and vertices stay
  EXPECT_EQ(mesh.VertexCount(), 22);
}

TEST(MeshPack, ratioZeroPurgesASingleFlaggedPolygonAndKeepsTheOrder) {
  T2DPolygonMesh mesh;
  for (int i = 0; i < 5; ++i) Rectangle(mesh, i);
  const TPolygonId doomed = mesh.Polygon(2);
  const TEdgeId doomedEdge = mesh.FirstEdge(doomed);
  EXPECT_TRUE(mesh.MarkPolygonDeleted(doomed));
  EXPECT_TRUE(mesh.MarkPolygonDeleted(doomed));  // counted once
  EXPECT_EQ(mesh.DeletedPolygons(), 1);
  mesh.Pack(0.0);
  EXPECT_EQ(Areas(mesh), (std::vector<double>{0, 1, 3, 4}));
  EXPECT_EQ(mesh.FaceCount(), 4);
  // The purged polygon's face went with its rings: its edges belong to no ring now.
  EXPECT_FALSE(mesh.IncidentRing(doomedEdge));
  EXPECT_FALSE(mesh.IncidentPolygon(doomedEdge));
  EXPECT_FALSE(mesh[doomed].Face);
  // New polygons still go to the end.
  Rectangle(mesh, 9);
  EXPECT_EQ(Areas(mesh).back(), 9.0);
}

TEST(MeshPack, edgesFlaggedThroughPolygonsArePurgedOnlyWhenTheMeshCounterAsksForIt) {
  T2DPolygonMesh mesh;
  const TPolygonId a = Rectangle(mesh, 0);
  const TPolygonId b = Rectangle(mesh, 5);
  const TEdgeId onPolygon = mesh.FirstEdge(a);
  const TEdgeId onMesh = mesh.FirstEdge(b);
  mesh.MarkEdgeDeleted(a, onPolygon);
  EXPECT_EQ(mesh[a].DeletedEdges, 1);
  EXPECT_EQ(mesh.DeletedEdges(), 0);
  EXPECT_EQ(mesh.OuterEdgeCount(a), 3);
  mesh.Pack(0.0);  // the mesh counts no flagged edge: nothing is purged
  EXPECT_EQ(mesh.EdgeCount(), 8);
  EXPECT_FALSE(mesh.ExactRingWalks());

  const TEdgeId beforeOnMesh = mesh[onMesh].Prev;  // still links to it after the purge
  mesh.MarkEdgeDeleted(onMesh);
  EXPECT_EQ(mesh.DeletedEdges(), 1);
  EXPECT_EQ(mesh.OuterEdgeCount(b), 3);
  mesh.Pack(0.0);  // now every flagged edge goes, whichever object counted it
  EXPECT_EQ(mesh.EdgeCount(), 6);
  EXPECT_EQ(mesh.DeletedEdges(), 0);
  EXPECT_EQ(mesh[a].DeletedEdges, 1);
  for (int i = 0; i < mesh.EdgeCount(); ++i) {
    EXPECT_NE(mesh.Edge(i), onMesh);
    EXPECT_NE(mesh.Edge(i), onPolygon);
  }
  // A purged edge keeps no links, and a walk that still reaches it stops there and says so.
  EXPECT_FALSE(mesh[onMesh].Next);
  EXPECT_FALSE(mesh.IncidentRing(onMesh));
  EXPECT_TRUE(mesh.ExactRingWalks());
  test::RecordingPlatform platform;
  EXPECT_EQ(mesh.ResetIncidentRing(beforeOnMesh, mesh.OuterRing(a)), 2);
  EXPECT_EQ(platform.beeps, 1);
  EXPECT_EQ(platform.Texts(), std::vector<std::string>{"Error resetting IncidentRing for edges"});
}

TEST(MeshPack, aListWithNothingFlaggedIsLeftAsItIs) {
  T2DPolygonMesh mesh;
  for (int i = 0; i < 10; ++i) Rectangle(mesh, i);
  mesh.Pack(0.0);
  EXPECT_EQ(mesh.PolygonCount(), 10);
  EXPECT_EQ(mesh.EdgeCount(), 40);
  EXPECT_EQ(mesh.VertexCount(), 22);
  mesh.Pack(-1.0);  // 0 > -n: every list is "purged" of nothing
  EXPECT_EQ(mesh.PolygonCount(), 10);
  EXPECT_EQ(mesh.EdgeCount(), 40);
  EXPECT_FALSE(mesh.ExactRingWalks());
}

TEST(DeletePolygon, removesPolygonFaceAndRingsAndKeepsTheOrder) {
  T2DPolygonMesh mesh;
  for (int i = 0; i < 6; ++i) Rectangle(mesh, i);
  const TPolygonId third = mesh.Polygon(3);
  const TRingId ring = mesh.OuterRing(third);
  const TEdgeId edge = mesh.FirstEdge(third);
  EXPECT_TRUE(mesh.DeletePolygon(3));
  EXPECT_EQ(Areas(mesh), (std::vector<double>{0, 1, 2, 4, 5}));
  EXPECT_EQ(mesh.FaceCount(), 5);
  EXPECT_EQ(mesh.EdgeCount(), 24);
  EXPECT_EQ(mesh.VertexCount(), 14);
  EXPECT_FALSE(mesh.IncidentRing(edge));
  EXPECT_EQ(mesh[ring].EdgeCount, 0);
  // The final filter's sweep: from the last index to the first.
  for (int i = mesh.PolygonCount() - 1; i >= 0; --i) {
    if (static_cast<int>(mesh[mesh.Polygon(i)].Area) % 2 == 0) mesh.DeletePolygon(i);
  }
  EXPECT_EQ(Areas(mesh), (std::vector<double>{1, 5}));
  for (int i = 0; i < mesh.FaceCount(); ++i) {
    EXPECT_EQ(mesh[mesh.GetFace(i)].Polygon, mesh.Polygon(i));
  }
}

TEST(DeletePolygon, outOfBoundsRaisesTheListMessage) {
  T2DPolygonMesh mesh;
  Rectangle(mesh, 0);
  try {
    mesh.DeletePolygon(1);
    FAIL();
  } catch (const EtdArrayException& e) {
    EXPECT_STREQ(e.what(), "Index is out of bounds ([TDObjLst] TtdObjectList.olGetItem Objname: "
                           "-unnamed- index: 1)");
  }
  EXPECT_THROW(mesh.Polygon(-1), EtdArrayException);
  EXPECT_THROW(mesh.Edge(4), EtdArrayException);
  EXPECT_THROW(mesh.GetFace(1), EtdArrayException);
  EXPECT_EQ(mesh.PolygonCount(), 1);
}

// TIdList against a plain vector: appends, removals anywhere, sweeps and RemoveIf.
TEST(IdList, behavesLikeAnOrderedVectorUnderRandomEdits) {
  std::mt19937 rng(42);
  TIdList<TEdgeId> list;
  std::vector<TEdgeId> model;
  std::uint32_t next = 1;
  for (int step = 0; step < 20000; ++step) {
    const int op = static_cast<int>(rng() % 10);
    if (op < 5 || model.empty()) {
      list.Append(TEdgeId(next));
      model.push_back(TEdgeId(next));
      ++next;
    } else if (op < 8) {
      const int i = static_cast<int>(rng() % model.size());
      list.RemoveAt(i);
      model.erase(model.begin() + i);
    } else if (op == 8) {
      const std::uint32_t m = 2 + rng() % 5;
      list.RemoveIf([m](TEdgeId id) { return id.Index % m == 0; });
      std::erase_if(model, [m](TEdgeId id) { return id.Index % m == 0; });
    } else {
      const TEdgeId probe(1 + rng() % next);
      const auto it = std::find(model.begin(), model.end(), probe);
      EXPECT_EQ(list.IndexOf(probe), it == model.end() ? -1 : static_cast<int>(it - model.begin()));
    }
    ASSERT_EQ(list.Count(), static_cast<int>(model.size()));
    if (step % 97 == 0) {
      for (std::size_t i = 0; i < model.size(); ++i) ASSERT_EQ(list.At(static_cast<int>(i)), model[i]);
    }
  }
}

}  // namespace
}  // namespace qv
