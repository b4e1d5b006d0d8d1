// The mesh's operations where the row pass does not take them (tests/calculation judges how the
// joins use the mesh): refusals, vertex sharing at the edges of the vertex order, ring moves on
// damaged cycles, holes handed over, two-phase deletion, and the ring check.
#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <stdexcept>

#include "RecordingPlatform.h"
#include "geometry/IdList.h"
#include "geometry/PolygonMesh.h"
#include "geometry/RingCheck.h"

namespace qv {
namespace {

// A rectangle, counter-clockwise when x0 < x1; its first edge is the side at x0, from y1 to y0.
TPolygonId Rectangle(T2DPolygonMesh& m, double x0, double y0, double x1, double y1, double a = 0) {
  const TPolygonId p = m.AddPolygon();
  m.InsertPointAfter(m.InsertPointAfter(m.StartRing(p, x0, y1, x0, y0), x1, y0), x1, y1);
  m.SetArea(p, a);
  return p;
}

TEST(Mesh, sharesVerticesExactlyByTheVertexOrder) {
  T2DEdgelist list;
  bool isNew = false;
  const TVertexId a = list.AddVertex({1.0, 2.0}, isNew);
  EXPECT_TRUE(isNew);
  EXPECT_EQ(list.AddVertex({1.0, 2.0}, isNew), a);
  EXPECT_FALSE(isNew);
  EXPECT_NE(list.AddVertex({1.0, 2.0000000001}), a);
  EXPECT_NE(list.AddVertex({1.0000000001, 2.0}), a);
  EXPECT_EQ(list.FindVertex({1.0, 2.0}), a);
  EXPECT_FALSE(list.FindVertex({2.0, 1.0}));
  EXPECT_EQ(list.AddVertex({0.0, -0.0}), list.AddVertex({-0.0, 0.0}));  // -0 = 0 in the order
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_NE(list.AddVertex({nan, 1.0}), list.AddVertex({nan, 1.0}));  // NaN equals nothing
  EXPECT_NE(list.AddVertex({1.0, nan}), list.AddVertex({1.0, nan}));
  EXPECT_EQ(list.AddVertex({HUGE_VAL, -1e300}), list.AddVertex({HUGE_VAL, -1e300}));
}

TEST(Mesh, rebuildsARingFromACycleThatClosesWithinItsBound) {
  T2DPolygonMesh m;
  const TEdgeId e = m.FirstEdge(Rectangle(m, 0, 0, 1, 1));
  const TRingId h = m.CreateRing();
  EXPECT_EQ(m.RebuildRingFrom(h, e, 4), 4);
  EXPECT_FALSE(m[h].FirstEdge);  // not touched
  for (int i = 0; i < 4; ++i) EXPECT_EQ(m.IncidentRing(m.Edge(i)), h);
  EXPECT_EQ(m.RebuildRingFrom(h, e, 3), 0);
  EXPECT_EQ(m[h].EdgeCount, 0);
  EXPECT_EQ(m.RebuildRingFrom(h, TEdgeId{}, 10) + m.RebuildRingFrom(TRingId{}, e, 10), 0);
  m.Link(m[e].Next, TEdgeId{});
  EXPECT_EQ(m.RebuildRingFrom(h, e, 100), 0);
}

TEST(Mesh, handsHolesOverCopiesDiscardsAndFreesThem) {
  T2DPolygonMesh m;
  const TPolygonId p = Rectangle(m, 0, 0, 10, 10), q = Rectangle(m, 20, 0, 30, 10);
  const TPolygonId h1 = Rectangle(m, 1, 1, 2, 2), h2 = Rectangle(m, 3, 3, 4, 4);
  const TRingId r1 = m.CreateCopy(m.OuterRing(h1)), r2 = m.CreateRing();
  m.Assign(r2, m.OuterRing(h2));
  EXPECT_EQ(m[r1].FirstEdge, m.FirstEdge(h1));
  EXPECT_EQ(m[r2].EdgeCount, 4);
  EXPECT_EQ(m.IncidentRing(m.FirstEdge(h2)), m.OuterRing(h2));  // a copy takes no edge along
  EXPECT_EQ(m.AddInnerRing(p, r1), 0);
  EXPECT_EQ(m.AddInnerRing(p, r2), 1);
  EXPECT_EQ(m.InnerRingCount(p), 2);
  EXPECT_EQ(m.TotalEdgeCount(p), 12);
  EXPECT_EQ(m.ExtractInnerRing(p, 0), r1);
  EXPECT_EQ(m.AddInnerRing(q, r1), 0);
  EXPECT_EQ(m[r1].IncidentFace, m[q].Face);
  EXPECT_EQ(m.ClearInnerRings(p), 1);
  EXPECT_FALSE(m[r2].IncidentFace);  // freed
  EXPECT_THROW(m.AddInnerRing(p, TRingId{}), EtdArrayException);
  EXPECT_THROW(m.ExtractInnerRing(p, 0), EtdArrayException);
  const TRingId hole = m.CreateRing();  // discarded, it leaves its edges on no ring, flagged too
  ASSERT_EQ(m.RebuildRingFrom(hole, m.FirstEdge(h2), 100), 4);
  m.AddInnerRing(q, hole);
  m.MarkEdgeDeleted(m.FirstEdge(h2));
  m.DiscardRing(hole);
  m.DiscardRing(hole);
  EXPECT_EQ(m.InnerRingCount(q), 1);
  EXPECT_FALSE(m.IncidentRing(m.FirstEdge(h2)) || m.IncidentRing(m[m.FirstEdge(h2)].Next));
  m.SetIncidentRing(m.FirstEdge(h1), hole);
  EXPECT_FALSE(m.IncidentRing(m.FirstEdge(h1)));
  EXPECT_THROW(m.DiscardRing(m.OuterRing(p)), std::logic_error);
}

TEST(Mesh, packsOnlyAboveTheRatioAndKeepsTheOrder) {
  T2DPolygonMesh m;
  for (int i = 0; i < 10; ++i) Rectangle(m, i, 0, i + 1, 1, i);
  m.Pack(-1.0);  // nothing flagged: nothing goes, even with every list due
  EXPECT_EQ(m.VertexCount(), 22);
  for (int i = 0; i < 10; i += 2) EXPECT_TRUE(m.MarkPolygonDeleted(m.Polygon(i)));
  m.MarkPolygonDeleted(m.Polygon(0));  // counted once
  m.MarkEdgeDeleted(TEdgeId{});  // the nil edge is no edge to count
  EXPECT_EQ(m.DeletedEdges(), 0);
  m.Pack(0.5);  // 5 > 5 is false: the test is strict
  EXPECT_EQ(m.PolygonCount(), 10);
  const TEdgeId gone = m.FirstEdge(m.Polygon(2));
  m.Pack(0.49);
  std::vector<double> areas;
  for (int i = 0; i < m.PolygonCount(); ++i) areas.push_back(m[m.Polygon(i)].Area);
  EXPECT_EQ(areas, (std::vector<double>{1, 3, 5, 7, 9}));
  EXPECT_EQ(m.FaceCount(), 5);
  EXPECT_FALSE(m.IncidentPolygon(gone));
  EXPECT_TRUE(m.DeletePolygon(1));
  EXPECT_EQ(m[m.Polygon(1)].Area, 5);
  for (int i = 0; i < m.FaceCount(); ++i) EXPECT_EQ(m[m.GetFace(i)].Polygon, m.Polygon(i));
  EXPECT_THROW(m.DeletePolygon(4), EtdArrayException);
  EXPECT_THROW(m.Edge(40), EtdArrayException);
  // Edges flagged through a polygon go only once the mesh's own counter asks for a purge; a walk
  // that then reaches a purged edge stops there and says so.
  const TPolygonId a = m.Polygon(0), b = m.Polygon(1);
  m.MarkEdgeDeleted(a, m.FirstEdge(a));
  m.Pack(0.0);
  EXPECT_EQ(m.EdgeCount(), 40);
  EXPECT_FALSE(m.ExactRingWalks());
  const TEdgeId before = m[m.FirstEdge(b)].Prev;
  const TEdgeId purged = m.FirstEdge(b);
  m.MarkEdgeDeleted(purged);
  m.Pack(0.0);
  EXPECT_EQ(m.EdgeCount(), 38);
  EXPECT_TRUE(m[purged].Deleted && !m[purged].Next && !m[purged].Origin);
  EXPECT_TRUE(m.ExactRingWalks());
  test::RecordingPlatform platform;
  EXPECT_EQ(m.ResetIncidentRing(before, m.OuterRing(a)), 2);
  EXPECT_EQ(platform.beeps, 1);
}

// A hole of p around the square (1, 1) - (2, 2), clockwise as a hole should run unless told not.
TRingId AddHole(T2DPolygonMesh& m, TPolygonId p, bool clockwise) {
  const TPolygonId h = clockwise ? Rectangle(m, 2, 1, 1, 2) : Rectangle(m, 1, 1, 2, 2);
  const TRingId hole = m.CreateCopy(m.OuterRing(h));
  m.RebuildRingFrom(hole, m.FirstEdge(h), 4);
  m.AddInnerRing(p, hole);
  return hole;
}

// Each kind of damage is named by the ring check, and a sound polygon passes.
TEST(RingCheck, namesTheFirstFaultOfADamagedPolygon) {
  using TDamage = void (*)(T2DPolygonMesh&, TPolygonId, TEdgeId);
  using F = TRingFault;
  const std::tuple<TRingFault, int, TDamage> cases[] = {
      {F::None, -1, [](auto& m, auto p, auto) { AddHole(m, p, true); }},
      {F::EdgeCount, -1, [](auto& m, auto p, auto) { m.SetOuterEdgeCount(p, 2); }},
      {F::EdgeCount, -1, [](auto& m, auto p, auto) { m.SetOuterEdgeCount(p, 5); }},
      {F::LongCycle, -1, [](auto& m, auto p, auto) { m.SetOuterEdgeCount(p, 3); }},
      {F::NoFirstEdge, -1, [](auto& m, auto p, auto) { m.SetFirstEdge(p, {}); }},
      {F::UnknownId, -1, [](auto& m, auto p, auto) { m.SetFirstEdge(p, TEdgeId{77}); }},
      {F::NilLink, -1, [](auto& m, auto, auto e) { m.Link(e, {}); }},
      {F::Flagged, -1, [](auto& m, auto, auto e) { m.MarkEdgeDeleted(e); }},
      {F::ForeignEdge, -1, [](auto& m, auto, auto e) { m.SetIncidentRing(e, m.CreateRing()); }},
      {F::NotMirrored, -1, [](auto& m, auto, auto e) { m.Link(m[e].Prev, m[e].Next); }},
      {F::Gap, -1,
       [](auto& m, auto, auto e) {
         const TEdgeId next = m[e].Next;
         m.LinkThrough(e, m.AddVertex({7, 7}), next);      // e ends at (7, 7) ...
         m.LinkThrough({}, m[m[next].Next].Origin, next);  // ... but next starts elsewhere
         m.Link(e, next);
       }},
      {F::ShortCycle, 0, [](auto& m, auto p, auto) { m[AddHole(m, p, true)].EdgeCount = 5; }},
      {F::Orientation, 0, [](auto& m, auto p, auto) { AddHole(m, p, false); }},
      {F::WrongFace, 0, [](auto& m, auto p, auto) { m[AddHole(m, p, true)].IncidentFace = {}; }}};
  for (const auto& [fault, ring, damage] : cases) {
    T2DPolygonMesh m;
    const TPolygonId p = Rectangle(m, 0, 0, 4, 4);
    damage(m, p, m.FirstEdge(p));
    const TPolygonFault found = CheckPolygon(m, p);
    EXPECT_TRUE(found.Fault == fault && found.Ring == ring) << DescribeFault(found);
  }
  T2DPolygonMesh m;
  EXPECT_EQ(DescribeFault(CheckPolygon(m, Rectangle(m, 1, 0, 0, 1))),
            "outer ring: wrong orientation");
  const TPolygonFault unknown = CheckPolygon(m, TPolygonId{99});  // an id never handed out
  EXPECT_TRUE(unknown.Fault == F::UnknownId && unknown.Ring == -1) << DescribeFault(unknown);
  // No point is inserted after an edge that leads nowhere.
  const TEdgeId loose = m.FirstEdge(Rectangle(m, 0, 0, 4, 4));
  m.Link(loose, {});
  EXPECT_FALSE(static_cast<bool>(m.InsertPointAfter(loose, 9, 9)));
}

// TIdList against a plain vector: appends, removals anywhere, sweeps and lookups.
TEST(IdList, behavesLikeAnOrderedVectorUnderRandomEdits) {
  std::mt19937 rng(42);
  TIdList<TEdgeId> list;
  std::vector<TEdgeId> model;
  for (std::uint32_t next = 1, step = 0; step < 20000; ++step) {
    const auto op = rng() % 10;
    if (op < 5 || model.empty()) {
      list.Append(TEdgeId(next));
      model.push_back(TEdgeId(next++));
    } else if (op < 8) {
      const auto i = static_cast<int>(rng() % model.size());
      list.RemoveAt(i);
      model.erase(model.begin() + i);
    } else if (op == 8) {
      const std::uint32_t k = 2 + rng() % 5;
      list.RemoveIf([k](TEdgeId id) { return id.Index % k == 0; });
      std::erase_if(model, [k](TEdgeId id) { return id.Index % k == 0; });
    } else {
      const TEdgeId probe(1 + rng() % next);
      const auto it = std::find(model.begin(), model.end(), probe);
      ASSERT_EQ(list.IndexOf(probe), it == model.end() ? -1 : static_cast<int>(it - model.begin()));
    }
    ASSERT_EQ(list.Count(), static_cast<int>(model.size()));
    for (std::size_t i = 0; step % 97 == 0 && i < model.size(); ++i) {
      ASSERT_EQ(list.At(static_cast<int>(i)), model[i]);
    }
  }
}

}  // namespace
}  // namespace qv
