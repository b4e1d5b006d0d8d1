// T2DEdgelist: the containers and edge operations of a planar mesh (vertices, edges, rings,
// faces). T2DPolygonMesh adds the polygons; the account of the representation and of the
// invariants that both keep is at the top of PolygonMesh.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "geometry/Edge.h"
#include "geometry/Face.h"
#include "geometry/IdList.h"
#include "geometry/Ids.h"
#include "geometry/Point.h"
#include "geometry/Pool.h"
#include "geometry/Ring.h"
#include "geometry/Vertex.h"
#include "geometry/VertexIndex.h"

namespace qv {

class T2DEdgelist {
 public:
  T2DEdgelist();
  T2DEdgelist(const T2DEdgelist&) = delete;
  T2DEdgelist& operator=(const T2DEdgelist&) = delete;

  // --- records by id (a nil or unknown id raises std::out_of_range) ---
  // Inline: the row pass reads records by id several times per pixel.
  const T2DVertex& operator[](TVertexId id) const { return Checked(vertices_, id.Index, "vertex"); }
  const T2DEdge& operator[](TEdgeId id) const { return Checked(edges_, id.Index, "edge"); }
  T2DRing& operator[](TRingId id) { return Checked(rings_, id.Index, "ring"); }
  const T2DRing& operator[](TRingId id) const { return Checked(rings_, id.Index, "ring"); }
  const T2DFace& operator[](TFaceId id) const { return Checked(faces_, id.Index, "face"); }

  // --- the lists, in list order (an index out of bounds raises EtdArrayException) ---
  int VertexCount() const { return vertexList_.Count(); }
  TVertexId Vertex(int index) const { return vertexList_.At(index, "T2DEdgelist.Vertex"); }
  int EdgeCount() const { return edgeList_.Count(); }  // the walk bound of ring readers
  TEdgeId Edge(int index) const { return edgeList_.At(index, "T2DEdgelist.Edge"); }
  int FaceCount() const { return faceList_.Count(); }
  TFaceId GetFace(int index) const { return faceList_.At(index, "T2DEdgelist.GetFace"); }
  int DeletedEdges() const { return deletedEdges_; }

  // --- building ---
  // The vertex at exactly point: the existing one (isNew false) or a new one (isNew true).
  TVertexId AddVertex(const T2DPoint& point, bool& isNew);
  TVertexId AddVertex(const T2DPoint& point);
  TVertexId FindVertex(const T2DPoint& point) const;  // nil when there is none
  // A new face with an empty outer ring (whose IncidentFace is the face) and no holes.
  TFaceId AddFace();
  // One self-linked edge (x1, y1) -> (x2, y2) in the face's outer ring, whose EdgeCount
  // becomes 2. Does not set the ring's FirstEdge. Nil when the face is nil or freed.
  TEdgeId StartRing(TFaceId face, double x1, double y1, double x2, double y2);
  // Inserts the point (x, y) right after edge's destination and returns the new edge from there
  // to the point. On a ring of one segment (EdgeCount 2) it also closes the triangle. Nil, and
  // nothing changed, when edge is nil, has no Next or belongs to no ring.
  TEdgeId InsertPointAfter(TEdgeId edge, double x, double y);
  void Link(TEdgeId e1, TEdgeId e2);  // e1.Next := e2, e2.Prev := e1 (each where not nil)
  // Link(e1, e2), e1.Destination := v, e2.Origin := v, v.IncidentEdge := e2.
  void LinkThrough(TEdgeId e1, TVertexId v, TEdgeId e2);
  // Flags the edge, takes it off its ring's EdgeCount and counts it on the mesh. An edge that is
  // already flagged is left alone.
  void MarkEdgeDeleted(TEdgeId edge);
  // Purges the flagged edges and faces of each list whose deleted counter is strictly greater
  // than ratio times the list's length. Vertices are never flagged: a corner stays shared by the
  // polygons that keep it, and the vertex index must find it until the mesh goes.
  void Pack(double ratio);

  // --- ring membership of edges ---
  TRingId IncidentRing(TEdgeId edge) const {  // nil for a nil edge
    return ValidEdge(edge) ? ResolveRingRef(edges_[edge.Index].RingRef) : TRingId{};
  }
  TFaceId IncidentFace(TEdgeId edge) const {  // nil when the edge has no ring
    const TRingId ring = IncidentRing(edge);
    return ring ? rings_[ring.Index].IncidentFace : TFaceId{};
  }
  void SetIncidentRing(TEdgeId edge, TRingId ring);
  // Moves the edges of edge's current ring to ring: as many edges along Next, from edge, as the
  // current ring's EdgeCount. Returns that number, 0 when the count is below 1. A cycle broken
  // by a nil Next is reported ("Error resetting IncidentRing for edges") and the number set so
  // far returned.
  int ResetIncidentRing(TEdgeId edge, TRingId ring);

  // --- rings ---
  TRingId CreateRing();
  // Gives ring `into` (empty, of this list) a copy of ring `from` of `source`: new edges along
  // the same points in the same Next order, each edge on `into`'s own handle, FirstEdge
  // copied first. onEdge(old, new) is called for every edge copied. False, with `into` left
  // partly built, when `from` is not one closed cycle of exactly EdgeCount edges.
  template <class OnEdge>
  bool CopyRing(const T2DEdgelist& source, TRingId from, TRingId into, OnEdge&& onEdge);
  TRingId CreateCopy(TRingId ring);
  void Assign(TRingId target, TRingId source);  // EdgeCount, FirstEdge, EnclosedPolygon, face
  // Frees a ring that is not the outer ring of a live face: its edges then belong to no ring,
  // and a face that still lists it as a hole drops it.
  void DiscardRing(TRingId ring);
  double Area(TRingId ring) const;  // signed; counter-clockwise positive
  // Makes ring the ring of the cycle through start (at most maxCount edges): returns the new
  // EdgeCount, 0 when the walk met a nil Next or did not close within maxCount edges.
  int RebuildRingFrom(TRingId ring, TEdgeId start, int maxCount);

  // --- faces ---
  int InnerRingCount(TFaceId face) const;
  TRingId InnerRing(TFaceId face, int index) const;
  int OuterEdgeCount(TFaceId face) const;
  int TotalEdgeCount(TFaceId face) const;

  // Ring moves by walking the ring edge by edge instead of merging ring handles. Both give the
  // same rings on a consistent mesh; switched on for cross-checks, and by the mesh itself once
  // a cycle can be broken (a nil Next, a purged edge).
  void SetExactRingWalks(bool exact) { exactRingWalks_ = exact; }
  bool ExactRingWalks() const { return exactRingWalks_; }

  // Bytes held by all pools, lists and indexes (capacity, not just what is in use).
  std::size_t MemoryBytes() const;

 protected:
  int AppendInnerRing(TFaceId face, TRingId ring);
  TRingId ExtractInnerRing(TFaceId face, int index);
  int ClearInnerRings(TFaceId face);
  // Frees the face with its outer ring and holes (the face stays as a tombstone).
  void FreeFace(TFaceId face);
  void RemoveFace(TFaceId face);  // from the Faces list, then FreeFace
  T2DFace& FaceRecord(TFaceId face);
  bool IsLiveFace(TFaceId face) const {
    return faces_.Contains(face.Index) && faces_[face.Index].OuterRing;
  }
  // Flags the edge and takes it off its ring; false when it was nil or already flagged. The
  // caller counts it on the object the deletion is made through.
  bool FlagEdgeDeleted(TEdgeId edge);
  // Flags a live face and counts it on the mesh, once.
  void MarkFaceDeleted(TFaceId face);
  // True for a valid edge, false for nil; an unknown id raises std::out_of_range.
  bool ValidEdge(TEdgeId edge) const {
    if (!edge) return false;
    Checked(edges_, edge.Index, "edge");
    return true;
  }
  // The record at index, or std::out_of_range for nil or an index the pool never handed out.
  template <class Pool>
  static auto Checked(Pool& pool, std::uint32_t index, const char* kind) -> decltype(pool[index]) {
    if (!pool.Contains(index)) ThrowUnknownId(kind, index);
    return pool[index];
  }
  [[noreturn]] static void ThrowUnknownId(const char* kind, std::uint32_t index);

 private:
  struct TRingHandle {
    std::uint32_t Parent = 0;  // itself for a root
    TRingId Ring;              // for a root: the ring its edges belong to, nil for none
  };
  static constexpr std::uint32_t kFrozenRing = 0x8000'0000u;
  static constexpr std::uint32_t kFreedRing = 0xFFFF'FFFFu;  // T2DRing::Handle of a freed ring

  TEdgeId NewEdge(TVertexId origin, TVertexId destination, std::uint32_t ringRef);
  TRingId ResolveRingRef(std::uint32_t ref) const {
    if (ref == 0) return {};
    if ((ref & kFrozenRing) != 0) {
      const TRingId ring(ref & ~kFrozenRing);
      return rings_[ring.Index].Handle == kFreedRing ? TRingId{} : ring;
    }
    return handles_[FindRoot(ref)].Ring;
  }
  std::uint32_t FindRoot(std::uint32_t h) const {
    while (handles_[h].Parent != h) {
      const std::uint32_t grandparent = handles_[handles_[h].Parent].Parent;
      handles_[h].Parent = grandparent;  // path halving
      h = grandparent;
    }
    return h;
  }
  std::uint32_t RingRefFor(TRingId ring);
  void MergeRing(TRingId from, TRingId into);
  void FreeRing(TRingId ring);
  int WalkResetIncidentRing(TEdgeId edge, TRingId ring, int count);
  std::vector<TRingId>* InnerList(TFaceId face);
  const std::vector<TRingId>* InnerList(TFaceId face) const;
  void PurgeEdges();
  void PurgeFaces();

  TPool<T2DVertex> vertices_;
  TPool<T2DEdge> edges_;
  TPool<T2DRing, kFrozenRing> rings_;
  TPool<T2DFace> faces_;
  mutable TPool<TRingHandle> handles_;  // path compression rewrites them on reads
  TVertexIndex vertexIndex_;
  TIdList<TVertexId> vertexList_;
  TIdList<TEdgeId> edgeList_;
  TIdList<TFaceId> faceList_;
  std::vector<std::vector<TRingId>> innerLists_;  // slot 0 unused
  std::vector<std::uint32_t> freeInnerLists_;
  int deletedEdges_ = 0;
  int deletedFaces_ = 0;
  bool exactRingWalks_ = false;
};

template <class OnEdge>
bool T2DEdgelist::CopyRing(const T2DEdgelist& source, TRingId from, TRingId into,
                           OnEdge&& onEdge) {
  const T2DRing& ring = source[from];
  const int n = ring.EdgeCount;
  if (n < 1 || n > source.EdgeCount() || !ring.FirstEdge) return false;
  exactRingWalks_ = exactRingWalks_ || source.exactRingWalks_;
  const std::uint32_t ref = RingRefFor(into);
  TEdgeId old = ring.FirstEdge;
  TEdgeId first, last;
  for (int k = 0; k < n; ++k) {
    const T2DEdge& e = source[old];
    if (e.Deleted || !e.Origin || !e.Destination || !e.Next) return false;
    if (k > 0 && old == ring.FirstEdge) return false;  // a shorter cycle than EdgeCount says
    const TVertexId a = AddVertex(source[e.Origin].Point);
    const TVertexId b = AddVertex(source[e.Destination].Point);
    const TEdgeId copy = NewEdge(a, b, ref);
    vertices_[a.Index].IncidentEdge = copy;
    if (last) Link(last, copy);
    if (!first) first = copy;
    last = copy;
    onEdge(old, copy);
    old = e.Next;
  }
  if (old != ring.FirstEdge) return false;
  Link(last, first);
  rings_[into.Index].FirstEdge = first;
  rings_[into.Index].EdgeCount = n;
  return true;
}

}  // namespace qv
