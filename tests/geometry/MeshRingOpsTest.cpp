// Ring membership and ring operations: ResetIncidentRing, RebuildRingFrom, holes, discarding.
#include <gtest/gtest.h>

#include <stdexcept>

#include "MeshCheck.h"
#include "RecordingPlatform.h"
#include "geometry/PolygonMesh.h"

namespace qv {
namespace {

using test::Rectangle;
using test::RingFault;

TEST(ResetIncidentRing, movesAWholeRingAndReturnsItsEdgeCount) {
  for (const bool exact : {false, true}) {
    T2DPolygonMesh mesh;
    mesh.SetExactRingWalks(exact);
    const TPolygonId a = Rectangle(mesh, 0, 0, 1, 1);
    const TPolygonId b = Rectangle(mesh, 5, 0, 6, 1);
    EXPECT_EQ(mesh.ResetIncidentRing(mesh.FirstEdge(a), mesh.OuterRing(b)), 4);
    for (int i = 0; i < mesh.EdgeCount(); ++i) {
      EXPECT_EQ(mesh.IncidentPolygon(mesh.Edge(i)), b);
    }
    // Spliced into one cycle of eight and moved again, a's former edges go along with b's.
    const TEdgeId a0 = mesh.FirstEdge(a);
    const TEdgeId b0 = mesh.FirstEdge(b);
    const TEdgeId a3 = mesh[a0].Prev;
    const TEdgeId b3 = mesh[b0].Prev;
    mesh.Link(a3, b0);
    mesh.Link(b3, a0);
    const TRingId free = mesh.CreateRing();
    mesh.SetOuterEdgeCount(b, 8);
    EXPECT_EQ(mesh.ResetIncidentRing(mesh.FirstEdge(a), free), 8);
    EXPECT_EQ(mesh.IncidentRing(mesh.FirstEdge(a)), free);
    EXPECT_EQ(mesh.IncidentRing(mesh.FirstEdge(b)), free);
    EXPECT_FALSE(mesh.IncidentPolygon(mesh.FirstEdge(b)));  // a free ring has no face
  }
}

TEST(ResetIncidentRing, setsNothingWhenTheCountIsBelowOne) {
  T2DPolygonMesh mesh;
  const TPolygonId a = Rectangle(mesh, 0, 0, 1, 1);
  const TPolygonId b = Rectangle(mesh, 5, 0, 6, 1);
  mesh.SetOuterEdgeCount(a, 0);
  EXPECT_EQ(mesh.ResetIncidentRing(mesh.FirstEdge(a), mesh.OuterRing(b)), 0);
  EXPECT_EQ(mesh.IncidentPolygon(mesh.FirstEdge(a)), a);
  EXPECT_EQ(mesh.ResetIncidentRing(TEdgeId{}, mesh.OuterRing(b)), 0);
}

TEST(ResetIncidentRing, reportsABrokenCycleAndKeepsTheEdgesWalkedSoFar) {
  test::RecordingPlatform platform;
  T2DPolygonMesh mesh;
  const TPolygonId a = Rectangle(mesh, 0, 0, 1, 1);
  const TPolygonId b = Rectangle(mesh, 5, 0, 6, 1);
  const TEdgeId first = mesh.FirstEdge(a);
  const TEdgeId second = mesh[first].Next;
  const TEdgeId third = mesh[second].Next;
  mesh.Link(second, TEdgeId{});  // breaks a's cycle after two edges
  EXPECT_TRUE(mesh.ExactRingWalks());
  EXPECT_EQ(mesh.ResetIncidentRing(first, mesh.OuterRing(b)), 2);
  EXPECT_EQ(platform.beeps, 1);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text, "Error resetting IncidentRing for edges");
  EXPECT_EQ(platform.messages[0].kind, test::TRecordedMessage::Kind::Plain);
  EXPECT_EQ(mesh.IncidentPolygon(first), b);
  EXPECT_EQ(mesh.IncidentPolygon(second), b);
  EXPECT_EQ(mesh.IncidentPolygon(third), a);
}

TEST(ResetIncidentRing, leavesAFlaggedEdgeOnTheRingItHadWhenFlagged) {
  for (const bool exact : {false, true}) {
    T2DPolygonMesh mesh;
    mesh.SetExactRingWalks(exact);
    const TPolygonId a = Rectangle(mesh, 0, 0, 1, 1);
    const TPolygonId b = Rectangle(mesh, 5, 0, 6, 1);
    // Take a's top edge out of the cycle, then flag it.
    const TEdgeId left = mesh.FirstEdge(a);
    const TEdgeId top = mesh[left].Prev;
    const TEdgeId right = mesh[top].Prev;
    mesh.LinkThrough(right, mesh[left].Origin, left);
    mesh.MarkEdgeDeleted(a, top);
    EXPECT_EQ(mesh.OuterEdgeCount(a), 3);
    EXPECT_EQ(mesh[a].DeletedEdges, 1);
    EXPECT_EQ(mesh.ResetIncidentRing(left, mesh.OuterRing(b)), 3);
    EXPECT_EQ(mesh.IncidentPolygon(right), b);
    EXPECT_EQ(mesh.IncidentPolygon(top), a);
    // Flagging again neither counts nor takes another edge off the ring.
    mesh.MarkEdgeDeleted(a, top);
    mesh.MarkEdgeDeleted(top);
    EXPECT_EQ(mesh[a].DeletedEdges, 1);
    EXPECT_EQ(mesh.DeletedEdges(), 0);
    EXPECT_EQ(mesh.OuterEdgeCount(a), 3);
  }
}

TEST(RebuildRingFrom, countsAClosedCycleAndGivesItsEdgesTheRingButFailsOnAnOpenOne) {
  T2DPolygonMesh mesh;
  const TPolygonId a = Rectangle(mesh, 0, 0, 1, 1);
  const TRingId h = mesh.CreateRing();
  EXPECT_EQ(mesh.RebuildRingFrom(h, mesh.FirstEdge(a), mesh.EdgeCount()), 4);
  EXPECT_EQ(mesh[h].EdgeCount, 4);
  EXPECT_FALSE(mesh[h].FirstEdge);  // not touched
  for (int i = 0; i < mesh.EdgeCount(); ++i) EXPECT_EQ(mesh.IncidentRing(mesh.Edge(i)), h);

  // Exactly as many edges as allowed still closes; one fewer does not.
  const TRingId k = mesh.CreateRing();
  EXPECT_EQ(mesh.RebuildRingFrom(k, mesh.FirstEdge(a), 4), 4);
  EXPECT_EQ(mesh.RebuildRingFrom(k, mesh.FirstEdge(a), 3), 0);
  EXPECT_EQ(mesh[k].EdgeCount, 0);
  EXPECT_EQ(mesh.RebuildRingFrom(k, TEdgeId{}, 10), 0);
  EXPECT_EQ(mesh.RebuildRingFrom(TRingId{}, mesh.FirstEdge(a), 10), 0);

  mesh.Link(mesh[mesh.FirstEdge(a)].Next, TEdgeId{});
  EXPECT_EQ(mesh.RebuildRingFrom(h, mesh.FirstEdge(a), 100), 0);
  EXPECT_EQ(mesh[h].EdgeCount, 0);
}

// Splits a rectangle's cycle into two: a hole ring given its edges one by one must stay apart
// when the outer ring is later merged into another ring.
TEST(RebuildRingFrom, aSplitOffHoleDoesNotFollowItsFormerRing) {
  for (const bool exact : {false, true}) {
    T2DPolygonMesh mesh;
    mesh.SetExactRingWalks(exact);
    // The cycles of two rectangles put on one ring by hand, then the inner one split off.
    const TPolygonId p = Rectangle(mesh, 0, 0, 1, 1);
    const TPolygonId inner = Rectangle(mesh, 0.25, 0.25, 0.75, 0.75);
    const TPolygonId other = Rectangle(mesh, 5, 0, 6, 1);
    mesh.ResetIncidentRing(mesh.FirstEdge(inner), mesh.OuterRing(p));
    mesh.SetOuterEdgeCount(p, 8);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(mesh.IncidentPolygon(mesh.Edge(i)), p);

    const TRingId hole = mesh.CreateRing();
    mesh[hole].FirstEdge = mesh.FirstEdge(inner);
    mesh.SetIncidentRing(mesh.FirstEdge(inner), hole);
    ASSERT_EQ(mesh.RebuildRingFrom(hole, mesh.FirstEdge(inner), mesh.EdgeCount()), 4);
    mesh.SetOuterEdgeCount(p, mesh.OuterEdgeCount(p) - 4);
    mesh.AddInnerRing(p, hole);
    EXPECT_EQ(mesh[hole].IncidentFace, mesh[p].Face);

    EXPECT_EQ(mesh.ResetIncidentRing(mesh.FirstEdge(p), mesh.OuterRing(other)), 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(mesh.IncidentPolygon(mesh.Edge(i)), other);
    for (int i = 4; i < 8; ++i) EXPECT_EQ(mesh.IncidentRing(mesh.Edge(i)), hole);
    EXPECT_EQ(RingFault(mesh, hole), "");
  }
}

TEST(InnerRings, keepListOrderAndAreHandedOverWithoutBeingFreed) {
  T2DPolygonMesh mesh;
  const TPolygonId p = Rectangle(mesh, 0, 0, 10, 10);
  const TPolygonId q = Rectangle(mesh, 20, 0, 30, 10);
  const TPolygonId h1 = Rectangle(mesh, 1, 1, 2, 2);
  const TPolygonId h2 = Rectangle(mesh, 3, 3, 4, 4);
  const TRingId r1 = mesh.CreateCopy(mesh.OuterRing(h1));
  const TRingId r2 = mesh.CreateCopy(mesh.OuterRing(h2));
  EXPECT_EQ(mesh[r1].FirstEdge, mesh.FirstEdge(h1));
  EXPECT_EQ(mesh[r1].EdgeCount, 4);
  EXPECT_EQ(mesh.AddInnerRing(p, r1), 0);
  EXPECT_EQ(mesh.AddInnerRing(p, r2), 1);
  EXPECT_EQ(mesh.InnerRingCount(p), 2);
  EXPECT_EQ(mesh.TotalEdgeCount(p), 12);
  EXPECT_EQ(mesh[r2].IncidentFace, mesh[p].Face);

  EXPECT_EQ(mesh.ExtractInnerRing(p, 0), r1);
  EXPECT_EQ(mesh.InnerRing(p, 0), r2);
  EXPECT_EQ(mesh.AddInnerRing(q, r1), 0);
  EXPECT_EQ(mesh[r1].IncidentFace, mesh[q].Face);
  EXPECT_EQ(mesh[r1].EdgeCount, 4);  // still alive

  EXPECT_EQ(mesh.ClearInnerRings(p), 1);
  EXPECT_EQ(mesh.InnerRingCount(p), 0);
  EXPECT_EQ(mesh[r2].EdgeCount, 0);  // freed
  EXPECT_FALSE(mesh[r2].IncidentFace);
}

TEST(InnerRings, misuseRaisesTheListMessages) {
  T2DPolygonMesh mesh;
  const TPolygonId p = Rectangle(mesh, 0, 0, 10, 10);
  try {
    mesh.AddInnerRing(p, TRingId{});
    FAIL();
  } catch (const EtdArrayException& e) {
    EXPECT_STREQ(e.what(),
                 "Cannot have an item that is nil ([TDObjLst] TtdObjectList.Add Objname: -unnamed-)");
  }
  try {
    mesh.InnerRing(p, 0);
    FAIL();
  } catch (const EtdArrayException& e) {
    EXPECT_STREQ(e.what(), "Index is out of bounds ([TDObjLst] TtdObjectList.olGetItem Objname: "
                           "-unnamed- index: 0)");
  }
  EXPECT_THROW(mesh.ExtractInnerRing(p, -1), EtdArrayException);
}

TEST(DiscardRing, leavesNoEdgePointingAtTheRing) {
  T2DPolygonMesh mesh;
  const TPolygonId p = Rectangle(mesh, 0, 0, 10, 10);
  const TPolygonId islet = Rectangle(mesh, 1, 1, 2, 2);
  const TRingId hole = mesh.CreateRing();
  mesh[hole].FirstEdge = mesh.FirstEdge(islet);
  ASSERT_EQ(mesh.RebuildRingFrom(hole, mesh.FirstEdge(islet), 100), 4);
  mesh.AddInnerRing(p, hole);
  // A frozen (flagged) edge on the hole sees it go as well.
  const TEdgeId flagged = mesh.FirstEdge(islet);
  mesh.MarkEdgeDeleted(flagged);
  mesh.DiscardRing(hole);
  EXPECT_EQ(mesh.InnerRingCount(p), 0);  // dropped from the face that listed it
  for (int i = 4; i < 8; ++i) EXPECT_FALSE(mesh.IncidentRing(mesh.Edge(i)));
  EXPECT_FALSE(mesh.IncidentRing(flagged));
  EXPECT_EQ(mesh.IncidentRing(mesh.Edge(0)), mesh.OuterRing(p));
  // Setting an edge onto a freed ring gives it no ring.
  mesh.SetIncidentRing(mesh.Edge(5), hole);
  EXPECT_FALSE(mesh.IncidentRing(mesh.Edge(5)));
  mesh.DiscardRing(hole);  // twice is harmless
  EXPECT_THROW(mesh.DiscardRing(mesh.OuterRing(p)), std::logic_error);
}

TEST(RingRecords, assignCopiesTheFourFields) {
  T2DPolygonMesh mesh;
  const TPolygonId p = Rectangle(mesh, 0, 0, 1, 1);
  const TRingId source = mesh.OuterRing(p);
  mesh[source].EnclosedPolygon = p;
  const TRingId target = mesh.CreateRing();
  mesh.Assign(target, source);
  EXPECT_EQ(mesh[target].EdgeCount, 4);
  EXPECT_EQ(mesh[target].FirstEdge, mesh.FirstEdge(p));
  EXPECT_EQ(mesh[target].EnclosedPolygon, p);
  EXPECT_EQ(mesh[target].IncidentFace, mesh[p].Face);
  // Copying a ring moves no edge onto it.
  EXPECT_EQ(mesh.IncidentRing(mesh.FirstEdge(p)), source);
}

}  // namespace
}  // namespace qv
