#include "geometry/Edgelist.h"

#include <stdexcept>
#include <string>

namespace qv {

void T2DEdgelist::ThrowUnknownId(const char* kind, std::uint32_t index) {
  throw std::out_of_range(std::string("Polygon mesh: nil or unknown ") + kind + " id " +
                          std::to_string(index));
}

T2DEdgelist::T2DEdgelist() : innerLists_(1) {}

T2DFace& T2DEdgelist::FaceRecord(TFaceId id) { return Checked(faces_, id.Index, "face"); }

TVertexId T2DEdgelist::AddVertex(const T2DPoint& point, bool& isNew) {
  return vertexIndex_.FindOrAdd(
      point, vertices_,
      [&] {
        const TVertexId id(vertices_.Add());
        vertices_[id.Index].Point = point;
        vertexList_.Append(id);
        return id;
      },
      isNew);
}

TVertexId T2DEdgelist::AddVertex(const T2DPoint& point) {
  bool isNew = false;
  return AddVertex(point, isNew);
}

TVertexId T2DEdgelist::FindVertex(const T2DPoint& point) const {
  return vertexIndex_.Find(point, vertices_);
}

TFaceId T2DEdgelist::AddFace() {
  const TFaceId face(faces_.Add());
  const TRingId outer(rings_.Add());
  rings_[outer.Index].IncidentFace = face;
  faces_[face.Index].OuterRing = outer;
  faceList_.Append(face);
  return face;
}

TEdgeId T2DEdgelist::NewEdge(TVertexId origin, TVertexId destination, std::uint32_t ringRef) {
  const TEdgeId id(edges_.Add());
  T2DEdge& e = edges_[id.Index];
  e.Origin = origin;
  e.Destination = destination;
  e.RingRef = ringRef;
  edgeList_.Append(id);
  return id;
}

TEdgeId T2DEdgelist::StartRing(TFaceId face, double x1, double y1, double x2, double y2) {
  if (!IsLiveFace(face)) return {};
  const TVertexId a = AddVertex({x1, y1});
  const TVertexId b = AddVertex({x2, y2});
  const TRingId ring = faces_[face.Index].OuterRing;
  const TEdgeId edge = NewEdge(a, b, RingRefFor(ring));
  edges_[edge.Index].Next = edge;
  edges_[edge.Index].Prev = edge;
  vertices_[a.Index].IncidentEdge = edge;
  vertices_[b.Index].IncidentEdge = edge;
  rings_[ring.Index].EdgeCount = 2;
  return edge;
}

TEdgeId T2DEdgelist::InsertPointAfter(TEdgeId edge, double x, double y) {
  if (!ValidEdge(edge)) return {};
  const TEdgeId oldNext = edges_[edge.Index].Next;
  const TRingId ring = ResolveRingRef(edges_[edge.Index].RingRef);
  if (!oldNext || !ring) return {};
  const TVertexId v = AddVertex({x, y});
  const std::uint32_t ref = RingRefFor(ring);
  const TEdgeId n = NewEdge(edges_[edge.Index].Destination, v, ref);
  vertices_[v.Index].IncidentEdge = n;
  T2DRing& r = rings_[ring.Index];
  if (r.EdgeCount == 2) {
    // One starting segment A -> B: the point makes it the triangle A -> B -> V -> A.
    const TEdgeId k = NewEdge(v, edges_[oldNext.Index].Origin, ref);
    Link(edge, n);
    Link(n, k);
    Link(k, oldNext);
  } else {
    edges_[oldNext.Index].Origin = v;
    Link(edge, n);
    Link(n, oldNext);
  }
  ++r.EdgeCount;
  return n;
}

void T2DEdgelist::Link(TEdgeId e1, TEdgeId e2) {
  if (ValidEdge(e1)) {
    edges_[e1.Index].Next = e2;
    // A ring walk can now run into a nil Next, which only an edge-by-edge walk reports.
    if (!e2) exactRingWalks_ = true;
  }
  if (ValidEdge(e2)) edges_[e2.Index].Prev = e1;
}

void T2DEdgelist::LinkThrough(TEdgeId e1, TVertexId v, TEdgeId e2) {
  Link(e1, e2);
  if (e1) edges_[e1.Index].Destination = v;
  if (e2) edges_[e2.Index].Origin = v;
  if (v) {
    Checked(vertices_, v.Index, "vertex").IncidentEdge = e2;
  }
}

bool T2DEdgelist::FlagEdgeDeleted(TEdgeId edge) {
  if (!ValidEdge(edge)) return false;
  T2DEdge& e = edges_[edge.Index];
  if (e.Deleted) return false;
  e.Deleted = true;
  const TRingId ring = ResolveRingRef(e.RingRef);
  if (ring) --rings_[ring.Index].EdgeCount;
  // The flagged edge has left its cycle; it keeps the ring it had now even when that ring is
  // later merged into another, as it would if rings were moved edge by edge along the cycle.
  e.RingRef = ring ? (kFrozenRing | ring.Index) : 0;
  return true;
}

void T2DEdgelist::MarkEdgeDeleted(TEdgeId edge) {
  if (FlagEdgeDeleted(edge)) ++deletedEdges_;
}

void T2DEdgelist::MarkFaceDeleted(TFaceId face) {
  if (!IsLiveFace(face) || faces_[face.Index].Deleted) return;
  faces_[face.Index].Deleted = true;
  ++deletedFaces_;
}

void T2DEdgelist::Pack(double ratio) {
  const auto exceeds = [ratio](int deleted, int count) {
    return static_cast<double>(deleted) > ratio * static_cast<double>(count);
  };
  if (exceeds(deletedEdges_, EdgeCount())) {
    PurgeEdges();
    deletedEdges_ = 0;
  }
  if (exceeds(deletedFaces_, FaceCount())) {
    PurgeFaces();
    deletedFaces_ = 0;
  }
}

void T2DEdgelist::PurgeEdges() {
  // A purged edge keeps no links, so a walk that still reaches it stops there; the edges that
  // link to it are not written (after joins they need not point back at it).
  const int removed = edgeList_.RemoveIf([this](TEdgeId id) {
    T2DEdge& e = edges_[id.Index];
    if (!e.Deleted) return false;
    e = T2DEdge{};
    e.Deleted = true;
    return true;
  });
  if (removed > 0) exactRingWalks_ = true;
}

void T2DEdgelist::PurgeFaces() {
  faceList_.RemoveIf([this](TFaceId id) {
    if (!faces_[id.Index].Deleted) return false;
    FreeFace(id);
    return true;
  });
}

std::size_t T2DEdgelist::MemoryBytes() const {
  std::size_t bytes = vertices_.CapacityBytes() + edges_.CapacityBytes() +
                      rings_.CapacityBytes() + faces_.CapacityBytes() +
                      handles_.CapacityBytes() + vertexIndex_.CapacityBytes() +
                      vertexList_.CapacityBytes() + edgeList_.CapacityBytes() +
                      faceList_.CapacityBytes() + innerLists_.capacity() * sizeof(innerLists_[0]) +
                      freeInnerLists_.capacity() * sizeof(std::uint32_t);
  for (const auto& list : innerLists_) bytes += list.capacity() * sizeof(TRingId);
  return bytes;
}

}  // namespace qv
