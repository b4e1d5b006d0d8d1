// T2DPolygonMesh: the shared planar mesh in which a run keeps its raster polygons.
//
// REPRESENTATION
// A run's mesh holds millions of objects, so every kind (vertices, edges, rings, faces,
// polygons, and the ring handles below) lives in a pool of fixed-size chunks owned by the mesh
// and freed with it in bulk; there is no heap allocation per object. Objects refer to each
// other by 32-bit ids (Ids.h), positions in their pool; id 0 is nil. Records are read and
// written through the mesh: mesh[edge].Next, mesh[ring].EdgeCount, mesh[polygon].Area.
// Vertices, edges and faces are handed out read-only and change only through the mesh's
// operations; rings and polygons are writable (EdgeCount, FirstEdge, EnclosedPolygon,
// IncidentFace; Area, IsWooded). Reading through a nil or unknown id raises std::out_of_range:
// callers check links before following them, and the operations below do the same and take
// their stated failure path instead.
//
// Pool positions are never reused. An object that is freed (a purged edge, a discarded ring, a
// face and its rings freed by DeletePolygon or Pack, a purged polygon) stays as a tombstone
// that refers to nothing: a freed ring has no face and no edges resolve to it, a freed face has
// no outer ring, a freed polygon no face, a purged edge no links. So an id once handed out can
// always be read, and freeing never writes through an edge's Prev or Next.
//
// The lists Vertices, Edges, Faces and Polygons hold ids in creation order (TIdList). Their
// order is what the callers see: AddPolygon appends, DeletePolygon and Pack remove and keep
// the order, EdgeCount() is the number of items in Edges.
//
// RING MEMBERSHIP
// An edge does not store its ring directly but a reference to a ring handle; handles form a
// union-find forest, and the root of an edge's handle names its ring (IncidentRing does the
// find, with path halving). Each live ring has at most one root handle (T2DRing::Handle), and
// every root maps to one ring or to none.
// - SetIncidentRing, StartRing, InsertPointAfter, RebuildRingFrom and the edge-by-edge walk
//   give an edge its ring's own root handle individually.
// - ResetIncidentRing(edge, R), which the row pass calls to move a whole ring onto another,
//   hangs the current ring's root under R's root: all edges of the ring move at once, in O(1)
//   instead of a walk over the ring (merging large forest polygons would otherwise be
//   quadratic). This gives the same rings as walking the ring edge by edge as long as
//     (1) every live ring is one Next cycle of exactly EdgeCount edges that resolve to it (a
//         started ring: one self-linked edge with EdgeCount 2), and
//     (2) a flagged edge is out of every cycle.
//   A flagged edge has left its cycle, so walks no longer reach it and it keeps the ring it
//   had; MarkEdgeDeleted therefore freezes it on that ring (a direct ring id instead of a
//   handle), and merges leave it there too.
// - A hole cut out of a ring (the row pass splits one cycle into an outer ring and a hole) is
//   given to its new ring by RebuildRingFrom, edge by edge: those edges get the hole's own
//   handle and never go through the representative they shared with the outer ring.
// - Freeing a ring (DiscardRing, a freed face) clears its root's mapping: its edges then belong
//   to no ring (IncidentRing nil), and frozen edges see a freed ring as none.
// The mesh walks edge by edge instead (the literal algorithm, with its "Error resetting
// IncidentRing for edges" report) once a cycle can be broken (Link with a nil edge, a purged
// edge), on an edge that is itself flagged, and whenever SetExactRingWalks(true) asks for it
// (cross-checks in tests).
//
// VERTEX INDEX
// AddVertex shares vertices by exact coordinates through hash tables per line of equal Y
// (VertexIndex.h), which give the same answers as a search tree under the vertex order and were
// measured many times faster and half the size (bench_geometry_bench).
//
// DELETION
// Two-phase: MarkEdgeDeleted and MarkPolygonDeleted only flag and count; Pack purges a list
// when its counter is strictly greater than ratio times the list's length. MarkEdgeDeleted
// counts on the object it is called on: the mesh, or a polygon, whose counter is its own. So
// edges flagged through polygons (all of the row pass's) never make the mesh's Pack purge
// edges; once the mesh's own counter does, every flagged edge goes. Flagging twice counts
// once.
//
// The shapefile writer reads the mesh through the accessors here; saving a mesh or a set of
// crown circles belongs to the shapefile folder.
#pragma once

#include <cstddef>

#include "geometry/Edgelist.h"
#include "geometry/Polygon.h"

namespace qv {

class T2DPolygonMesh : public T2DEdgelist {
 public:
  using T2DEdgelist::operator[];
  T2DPolygon& operator[](TPolygonId id) { return Checked(polygons_, id.Index, "polygon"); }
  const T2DPolygon& operator[](TPolygonId id) const {
    return Checked(polygons_, id.Index, "polygon");
  }

  // --- the polygon list ---
  int PolygonCount() const { return polygonList_.Count(); }
  TPolygonId Polygon(int index) const { return polygonList_.At(index, "T2DPolygonMesh.Polygon"); }
  // A new polygon with its own face, appended: the newest polygon is always the last.
  TPolygonId AddPolygon();
  // Flags the polygon and its face; nothing is freed. Flagging twice counts once.
  bool MarkPolygonDeleted(TPolygonId polygon);
  // Removes polygon index from the list and frees it, with its face and the face's rings (its
  // edges and vertices stay in the mesh).
  bool DeletePolygon(int index);
  // Purges the flagged polygons when DeletedPolygons > ratio * PolygonCount, then the edge
  // list's Pack(ratio).
  void Pack(double ratio);

  // --- operations of one polygon ---
  using T2DEdgelist::StartRing;
  // The edge-list StartRing on the polygon's face; the edge becomes the outer ring's FirstEdge.
  TEdgeId StartRing(TPolygonId polygon, double x1, double y1, double x2, double y2);
  TRingId OuterRing(TPolygonId polygon) const {  // nil for a freed polygon
    const TFaceId face = FaceOf(polygon);
    return face ? (*this)[face].OuterRing : TRingId{};
  }
  TEdgeId FirstEdge(TPolygonId polygon) const {
    const TRingId ring = OuterRing(polygon);
    return ring ? (*this)[ring].FirstEdge : TEdgeId{};
  }
  void SetFirstEdge(TPolygonId polygon, TEdgeId edge);
  void SetOuterEdgeCount(TPolygonId polygon, int count);
  using T2DEdgelist::OuterEdgeCount;
  int OuterEdgeCount(TPolygonId polygon) const;
  using T2DEdgelist::InnerRingCount;
  int InnerRingCount(TPolygonId polygon) const;
  using T2DEdgelist::InnerRing;
  TRingId InnerRing(TPolygonId polygon, int index) const;
  using T2DEdgelist::TotalEdgeCount;
  int TotalEdgeCount(TPolygonId polygon) const;
  // Appends ring to the face's holes and makes the face the ring's IncidentFace.
  int AddInnerRing(TPolygonId polygon, TRingId ring);
  // Takes hole index off the face without freeing it (to hand it to another face).
  TRingId ExtractInnerRing(TPolygonId polygon, int index);
  // Frees all holes; returns how many there were.
  int ClearInnerRings(TPolygonId polygon);
  void SetArea(TPolygonId polygon, double area) { (*this)[polygon].Area = area; }
  using T2DEdgelist::MarkEdgeDeleted;
  // MarkEdgeDeleted counted on the polygon, not on the mesh.
  void MarkEdgeDeleted(TPolygonId polygon, TEdgeId edge);

  // The polygon whose ring the edge belongs to, or nil (no edge, no ring, no face).
  TPolygonId IncidentPolygon(TEdgeId edge) const {
    const TFaceId face = IncidentFace(edge);
    return face ? (*this)[face].Polygon : TPolygonId{};
  }

  // The sequence the next AddPolygon hands out; a fresh mesh that takes over a run's live
  // polygons continues its predecessor's.
  std::uint32_t NextSequence() const { return nextSequence_; }
  void ContinueSequence(std::uint32_t next) { nextSequence_ = next; }
  // Appends a copy of polygon p of source: its area, class and sequence, its outer ring and its
  // holes in order unless withHoles is false (EnclosedPolygon nil: the caller maps it).
  // onEdge(old, new) for every edge. Nil when a ring of p is not one closed cycle (the copy is
  // then unusable).
  template <class OnEdge>
  TPolygonId CopyPolygon(const T2DPolygonMesh& source, TPolygonId p, bool withHoles,
                         OnEdge&& onEdge);

  std::size_t MemoryBytes() const;

 private:
  TFaceId FaceOf(TPolygonId polygon) const { return (*this)[polygon].Face; }
  void FreePolygon(TPolygonId polygon);

  TPool<T2DPolygon> polygons_;
  TIdList<TPolygonId> polygonList_;
  int deletedPolygons_ = 0;
  std::uint32_t nextSequence_ = 0;
};

template <class OnEdge>
TPolygonId T2DPolygonMesh::CopyPolygon(const T2DPolygonMesh& source, TPolygonId p,
                                       bool withHoles, OnEdge&& onEdge) {
  const T2DPolygon& from = source[p];
  const TPolygonId copy = AddPolygon();
  T2DPolygon& to = (*this)[copy];
  to.Area = from.Area;
  to.IsWooded = from.IsWooded;
  to.DeletedEdges = from.DeletedEdges;
  to.Sequence = from.Sequence;
  if (!CopyRing(source, source.OuterRing(p), OuterRing(copy), onEdge)) return {};
  const int holes = withHoles ? source.InnerRingCount(p) : 0;
  for (int h = 0; h < holes; ++h) {
    const TRingId ring = CreateRing();
    AddInnerRing(copy, ring);
    if (!CopyRing(source, source.InnerRing(p, h), ring, onEdge)) return {};
  }
  return copy;
}

}  // namespace qv
