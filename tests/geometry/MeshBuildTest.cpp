// Building rings: StartRing, InsertPointAfter, vertex sharing and the signed area.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

#include "MeshCheck.h"
#include "geometry/PolygonMesh.h"

namespace qv {
namespace {

using test::RingFault;
using test::RingPoints;

TEST(MeshRing, startRingMakesOneSelfLinkedEdgeCountedAsTwoCorners) {
  T2DPolygonMesh mesh;
  const TPolygonId p = mesh.AddPolygon();
  const TEdgeId e = mesh.StartRing(p, 0.0, 1.0, 0.0, 0.0);
  ASSERT_TRUE(e);
  EXPECT_EQ(mesh[e].Next, e);
  EXPECT_EQ(mesh[e].Prev, e);
  EXPECT_EQ(mesh.OuterEdgeCount(p), 2);
  EXPECT_EQ(mesh.FirstEdge(p), e);
  EXPECT_EQ(mesh.IncidentRing(e), mesh.OuterRing(p));
  EXPECT_EQ(mesh.IncidentPolygon(e), p);
  EXPECT_EQ(mesh[mesh[e].Origin].IncidentEdge, e);
  EXPECT_EQ(mesh[mesh[e].Destination].IncidentEdge, e);
  EXPECT_EQ(mesh.EdgeCount(), 1);
  EXPECT_EQ(mesh.VertexCount(), 2);
}

TEST(MeshRing, firstInsertClosesATriangleAndSecondMakesARectangle) {
  T2DPolygonMesh mesh;
  const TPolygonId p = mesh.AddPolygon();
  const TEdgeId left = mesh.StartRing(p, 0.0, 1.0, 0.0, 0.0);
  const TEdgeId bottom = mesh.InsertPointAfter(left, 2.0, 0.0);
  ASSERT_TRUE(bottom);
  EXPECT_EQ(mesh.OuterEdgeCount(p), 3);
  EXPECT_EQ(mesh.EdgeCount(), 3);
  EXPECT_EQ(RingFault(mesh, mesh.OuterRing(p)), "");
  EXPECT_EQ(mesh[left].Next, bottom);
  EXPECT_EQ(mesh[mesh[bottom].Next].Destination, mesh[left].Origin);  // closing edge to A
  EXPECT_EQ(mesh[mesh[bottom].Destination].IncidentEdge, bottom);

  const TEdgeId right = mesh.InsertPointAfter(bottom, 2.0, 1.0);
  EXPECT_EQ(mesh.OuterEdgeCount(p), 4);
  EXPECT_EQ(mesh.EdgeCount(), 4);
  EXPECT_EQ(RingFault(mesh, mesh.OuterRing(p)), "");
  const TEdgeId top = mesh[right].Next;
  EXPECT_EQ(mesh[top].Next, left);
  EXPECT_EQ(RingPoints(mesh, mesh.OuterRing(p)),
            (std::vector<T2DPoint>{{0, 1}, {0, 0}, {2, 0}, {2, 1}}));
  EXPECT_DOUBLE_EQ(mesh.Area(mesh.OuterRing(p)), 2.0);
}

TEST(MeshRing, signedAreaIsPositiveCounterClockwiseAndNegativeClockwise) {
  T2DPolygonMesh mesh;
  const TPolygonId ccw = mesh.AddPolygon();
  mesh.InsertPointAfter(mesh.InsertPointAfter(mesh.StartRing(ccw, 0, 1, 0, 0), 1, 0), 1, 1);
  EXPECT_DOUBLE_EQ(mesh.Area(mesh.OuterRing(ccw)), 1.0);

  const TPolygonId cw = mesh.AddPolygon();
  mesh.InsertPointAfter(mesh.InsertPointAfter(mesh.StartRing(cw, 5, 0, 5, 1), 6, 1), 6, 0);
  EXPECT_DOUBLE_EQ(mesh.Area(mesh.OuterRing(cw)), -1.0);

  const TRingId bare = mesh.CreateRing();
  EXPECT_EQ(mesh.Area(bare), 0.0);  // no FirstEdge
}

TEST(MeshRing, areaWalkStopsAfterEdgeCountPlusOneEdges) {
  // A(0,3) -> B(1,0) -> C(4,1) -> D(3,4): every edge adds something to the trapezoid sum
  // (-3, 5, 21, -3), so the number of edges walked shows in the result.
  T2DPolygonMesh mesh;
  const TPolygonId p = mesh.AddPolygon();
  mesh.InsertPointAfter(mesh.InsertPointAfter(mesh.StartRing(p, 0, 3, 1, 0), 4, 1), 3, 4);
  const TRingId ring = mesh.OuterRing(p);
  EXPECT_DOUBLE_EQ(mesh.Area(ring), 10.0);
  mesh.SetOuterEdgeCount(p, 1);
  EXPECT_DOUBLE_EQ(mesh.Area(ring), 1.0);  // two edges: (-3 + 5) / 2
  mesh.SetOuterEdgeCount(p, 9);
  EXPECT_DOUBLE_EQ(mesh.Area(ring), 10.0);  // back at FirstEdge first
}

TEST(MeshRing, insertPointAfterRefusesEdgesItCannotPlace) {
  T2DEdgelist list;
  EXPECT_FALSE(list.InsertPointAfter(TEdgeId{}, 1, 1));
  EXPECT_THROW(list.InsertPointAfter(TEdgeId{99}, 1, 1), std::out_of_range);

  const TFaceId face = list.AddFace();
  const TEdgeId e = list.StartRing(face, 0, 0, 1, 0);
  list.SetIncidentRing(e, TRingId{});
  const int edges = list.EdgeCount();
  EXPECT_FALSE(list.InsertPointAfter(e, 1, 1));  // no ring to count on
  EXPECT_EQ(list.EdgeCount(), edges);
  EXPECT_FALSE(list.StartRing(TFaceId{}, 0, 0, 1, 1));
}

TEST(MeshVertices, areSharedOnlyByBitEqualCoordinates) {
  T2DEdgelist list;
  bool isNew = false;
  const TVertexId a = list.AddVertex({1.0, 2.0}, isNew);
  EXPECT_TRUE(isNew);
  const TVertexId b = list.AddVertex({1.0, 2.0}, isNew);
  EXPECT_FALSE(isNew);
  EXPECT_EQ(a, b);
  const TVertexId c = list.AddVertex({1.0, 2.0000000001}, isNew);
  EXPECT_TRUE(isNew);
  EXPECT_NE(a, c);
  EXPECT_NE(list.AddVertex({1.0000000001, 2.0}), a);
  EXPECT_EQ(list.VertexCount(), 3);
  EXPECT_EQ(list.Vertex(0), a);
  EXPECT_EQ(list.FindVertex({1.0, 2.0000000001}), c);
  EXPECT_FALSE(list.FindVertex({2.0, 1.0}));
}

TEST(MeshVertices, followTheVertexOrderOnSignedZeroAndNaN) {
  T2DEdgelist list;
  // -0.0 and 0.0 compare equal in the vertex order, so they are one vertex.
  EXPECT_EQ(list.AddVertex({0.0, -0.0}), list.AddVertex({-0.0, 0.0}));
  // A NaN equals nothing, itself included.
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_NE(list.AddVertex({nan, 1.0}), list.AddVertex({nan, 1.0}));
  EXPECT_NE(list.AddVertex({1.0, nan}), list.AddVertex({1.0, nan}));
  // Huge and odd coordinates go through the same index.
  const TVertexId huge = list.AddVertex({1e300, -1e300});
  EXPECT_EQ(list.AddVertex({1e300, -1e300}), huge);
  const TVertexId inf = list.AddVertex({std::numeric_limits<double>::infinity(), 0.25});
  EXPECT_EQ(list.FindVertex({std::numeric_limits<double>::infinity(), 0.25}), inf);
}

TEST(MeshVertices, manyPointsOnManyLinesAreAllFoundAgain) {
  // A grid of corners plus scattered points with odd fractions and negative coordinates.
  const auto point = [](int i) {
    return T2DPoint((i % 50) - 25.5 + (i % 7 == 0 ? 0.123 : 0.0), std::floor(i / 50.0) * 0.7 - 10);
  };
  T2DEdgelist list;
  std::vector<TVertexId> ids;
  for (int i = 0; i < 3000; ++i) ids.push_back(list.AddVertex(point(i)));
  for (int i = 0; i < 3000; ++i) {
    bool isNew = true;
    EXPECT_EQ(list.AddVertex(point(i), isNew), ids[static_cast<std::size_t>(i)]);
    EXPECT_FALSE(isNew);
  }
}

TEST(MeshVertices, neighbouringRectanglesShareTheirCornersButNotTheirEdges) {
  T2DPolygonMesh mesh;
  const auto rect = [&](double xl, double y) {
    return test::Rectangle(mesh, xl, y - 0.5, xl + 1, y + 0.5);
  };
  const TPolygonId a = rect(-0.5, 0.0);
  const TPolygonId b = rect(0.5, 0.0);
  const TPolygonId below = rect(-0.5, -1.0);
  EXPECT_EQ(mesh.VertexCount(), 4 + 2 + 2);
  EXPECT_EQ(mesh.EdgeCount(), 12);
  // a's right side and b's left side run between the same two vertices, in opposite senses.
  const TEdgeId aRight = mesh[mesh[mesh.FirstEdge(a)].Next].Next;
  const TEdgeId bLeft = mesh.FirstEdge(b);
  EXPECT_EQ(mesh[aRight].Origin, mesh[bLeft].Destination);
  EXPECT_EQ(mesh[aRight].Destination, mesh[bLeft].Origin);
  EXPECT_NE(mesh.IncidentPolygon(aRight), mesh.IncidentPolygon(bLeft));
  // The shared vertex remembers the edge that touched it last.
  EXPECT_EQ(mesh[mesh[bLeft].Origin].IncidentEdge, bLeft);
  EXPECT_EQ(mesh.IncidentPolygon(mesh.FirstEdge(below)), below);
}

TEST(MeshRecords, nilOrUnknownIdsRaiseInsteadOfReadingGarbage) {
  T2DPolygonMesh mesh;
  EXPECT_THROW(mesh[TEdgeId{}], std::out_of_range);
  EXPECT_THROW(mesh[TPolygonId{1}], std::out_of_range);
  const TPolygonId p = mesh.AddPolygon();
  EXPECT_NO_THROW(mesh[p]);
  EXPECT_THROW(mesh[TVertexId{1}], std::out_of_range);
  // The nil-safe reads give nil instead.
  EXPECT_FALSE(mesh.IncidentRing(TEdgeId{}));
  EXPECT_FALSE(mesh.IncidentFace(TEdgeId{}));
  EXPECT_FALSE(mesh.IncidentPolygon(TEdgeId{}));
}

}  // namespace
}  // namespace qv
