// Ring membership of edges, ring operations and the holes of faces.
#include <algorithm>
#include <stdexcept>

#include "geometry/Edgelist.h"
#include "platform/Platform.h"

namespace qv {

namespace {

void CheckRing(bool valid) {
  if (!valid) throw std::out_of_range("T2DEdgelist: unknown ring id");
}

}  // namespace

// --- ring handles ---

std::uint32_t T2DEdgelist::RingRefFor(TRingId ring) {
  if (!ring) return 0;
  CheckRing(rings_.Contains(ring.Index));
  T2DRing& r = rings_[ring.Index];
  if (r.Handle == kFreedRing) return 0;
  if (r.Handle == 0) {
    const std::uint32_t h = handles_.Add();
    handles_[h] = {h, ring};
    r.Handle = h;
  }
  return r.Handle;
}

void T2DEdgelist::MergeRing(TRingId from, TRingId into) {
  if (from == into) return;
  T2DRing& f = rings_[from.Index];
  if (f.Handle == 0 || f.Handle == kFreedRing) return;
  const std::uint32_t h = f.Handle;
  f.Handle = 0;
  if (!into || rings_[into.Index].Handle == kFreedRing) {
    handles_[h].Ring = {};
    return;
  }
  T2DRing& t = rings_[into.Index];
  if (t.Handle == 0) {
    handles_[h].Ring = into;
    t.Handle = h;
  } else {
    handles_[h].Parent = t.Handle;
  }
}

void T2DEdgelist::FreeRing(TRingId ring) {
  T2DRing& r = rings_[ring.Index];
  if (r.Handle == kFreedRing) return;
  if (r.Handle != 0) handles_[r.Handle].Ring = {};
  r.EdgeCount = 0;
  r.FirstEdge = {};
  r.EnclosedPolygon = {};
  r.IncidentFace = {};
  r.Handle = kFreedRing;
}

// --- ring membership of edges ---

void T2DEdgelist::SetIncidentRing(TEdgeId edge, TRingId ring) {
  if (!ValidEdge(edge)) return;
  edges_[edge.Index].RingRef = RingRefFor(ring);
}

int T2DEdgelist::ResetIncidentRing(TEdgeId edge, TRingId ring) {
  if (!ValidEdge(edge)) return 0;
  CheckRing(!ring || rings_.Contains(ring.Index));
  const std::uint32_t ref = edges_[edge.Index].RingRef;
  const TRingId current = ResolveRingRef(ref);
  if (!current) return 0;
  const int count = rings_[current.Index].EdgeCount;
  if (count < 1) return 0;
  // On a consistent mesh the edges along Next from edge are exactly the live edges of its
  // ring, so moving the ring's handle under the target's moves the same edges in O(1). A
  // flagged edge (kept on its old ring) or a mesh whose cycles may be broken walks instead.
  if (exactRingWalks_ || (ref & kFrozenRing) != 0) return WalkResetIncidentRing(edge, ring, count);
  MergeRing(current, ring);
  return count;
}

int T2DEdgelist::WalkResetIncidentRing(TEdgeId edge, TRingId ring, int count) {
  const std::uint32_t ref = RingRefFor(ring);
  TEdgeId e = edge;
  int set = 0;
  for (;;) {
    edges_[e.Index].RingRef = ref;
    if (++set == count) return set;
    e = edges_[e.Index].Next;
    if (!e) {
      Platform().Beep();
      Platform().ShowMessage("Error resetting IncidentRing for edges");
      return set;
    }
  }
}

// --- rings ---

TRingId T2DEdgelist::CreateRing() { return TRingId(rings_.Add()); }

TRingId T2DEdgelist::CreateCopy(TRingId ring) {
  const TRingId copy = CreateRing();
  Assign(copy, ring);
  return copy;
}

void T2DEdgelist::Assign(TRingId target, TRingId source) {
  const T2DRing& s = (*this)[source];
  T2DRing& t = (*this)[target];
  t.EdgeCount = s.EdgeCount;
  t.FirstEdge = s.FirstEdge;
  t.EnclosedPolygon = s.EnclosedPolygon;
  t.IncidentFace = s.IncidentFace;
}

void T2DEdgelist::DiscardRing(TRingId ring) {
  if (!ring) return;
  const T2DRing& r = (*this)[ring];
  if (r.Handle == kFreedRing) return;
  if (IsLiveFace(r.IncidentFace)) {
    if (faces_[r.IncidentFace.Index].OuterRing == ring) {
      throw std::logic_error("T2DEdgelist: the outer ring of a face goes only with its face");
    }
    if (auto* holes = InnerList(r.IncidentFace)) {
      holes->erase(std::remove(holes->begin(), holes->end(), ring), holes->end());
    }
  }
  FreeRing(ring);
}

double T2DEdgelist::Area(TRingId ring) const {
  const T2DRing& r = (*this)[ring];
  const TEdgeId first = r.FirstEdge;
  if (!ValidEdge(first)) return 0.0;
  const auto point = [this](TVertexId v) { return v ? vertices_[v.Index].Point : T2DPoint{}; };
  double sum = 0.0;
  TEdgeId e = first;
  int n = 0;
  do {
    const T2DEdge& edge = edges_[e.Index];
    const T2DPoint o = point(edge.Origin);
    const T2DPoint d = point(edge.Destination);
    sum += (o.X + d.X) * (d.Y - o.Y);
    ++n;
    e = edge.Next;
  } while (e && e != first && n <= r.EdgeCount);
  return sum / 2.0;
}

int T2DEdgelist::RebuildRingFrom(TRingId ring, TEdgeId start, int maxCount) {
  if (!ring) return 0;
  T2DRing& r = (*this)[ring];
  if (!ValidEdge(start)) {
    r.EdgeCount = 0;
    return 0;
  }
  // Each edge gets the ring's own handle: a hole split off a ring must not follow the handle
  // it shared with the outer ring.
  const std::uint32_t ref = RingRefFor(ring);
  int count = 0;
  TEdgeId e = start;
  do {
    edges_[e.Index].RingRef = ref;
    ++count;
    e = edges_[e.Index].Next;
  } while (e && e != start && count <= maxCount);
  const bool closed = e == start && count <= maxCount;
  r.EdgeCount = closed ? count : 0;
  return r.EdgeCount;
}

// --- holes of faces ---

std::vector<TRingId>* T2DEdgelist::InnerList(TFaceId face) {
  const std::uint32_t slot = faces_[face.Index].InnerList;
  return slot == 0 ? nullptr : &innerLists_[slot];
}

const std::vector<TRingId>* T2DEdgelist::InnerList(TFaceId face) const {
  const std::uint32_t slot = faces_[face.Index].InnerList;
  return slot == 0 ? nullptr : &innerLists_[slot];
}

int T2DEdgelist::InnerRingCount(TFaceId face) const {
  static_cast<void>((*this)[face]);  // checks the id
  const auto* holes = InnerList(face);
  return holes ? static_cast<int>(holes->size()) : 0;
}

TRingId T2DEdgelist::InnerRing(TFaceId face, int index) const {
  if (index < 0 || index >= InnerRingCount(face)) {
    RaiseIndexError("T2DEdgelist.InnerRing", index);
  }
  return (*InnerList(face))[static_cast<std::size_t>(index)];
}

int T2DEdgelist::OuterEdgeCount(TFaceId face) const {
  const TRingId outer = (*this)[face].OuterRing;
  return outer ? rings_[outer.Index].EdgeCount : 0;
}

int T2DEdgelist::TotalEdgeCount(TFaceId face) const {
  int total = OuterEdgeCount(face);
  if (const auto* holes = InnerList(face)) {
    for (const TRingId ring : *holes) total += rings_[ring.Index].EdgeCount;
  }
  return total;
}

int T2DEdgelist::AppendInnerRing(TFaceId face, TRingId ring) {
  if (!ring) {
    RaiseNilItem("T2DEdgelist.AddInnerRing");
  }
  CheckRing(rings_.Contains(ring.Index));
  T2DFace& f = FaceRecord(face);
  if (!f.OuterRing) throw std::logic_error("T2DEdgelist: a freed face takes no holes");
  if (f.InnerList == 0) {
    if (freeInnerLists_.empty()) {
      f.InnerList = static_cast<std::uint32_t>(innerLists_.size());
      innerLists_.emplace_back();
    } else {
      f.InnerList = freeInnerLists_.back();
      freeInnerLists_.pop_back();
    }
  }
  auto& holes = innerLists_[f.InnerList];
  holes.push_back(ring);
  rings_[ring.Index].IncidentFace = face;
  return static_cast<int>(holes.size()) - 1;
}

TRingId T2DEdgelist::ExtractInnerRing(TFaceId face, int index) {
  const TRingId ring = InnerRing(face, index);
  auto* holes = InnerList(face);
  holes->erase(holes->begin() + index);
  return ring;
}

int T2DEdgelist::ClearInnerRings(TFaceId face) {
  static_cast<void>((*this)[face]);  // checks the id
  auto* holes = InnerList(face);
  if (!holes) return 0;
  const int count = static_cast<int>(holes->size());
  for (const TRingId ring : *holes) FreeRing(ring);
  holes->clear();
  return count;
}

void T2DEdgelist::FreeFace(TFaceId face) {
  if (!IsLiveFace(face)) return;
  T2DFace& f = faces_[face.Index];
  if (f.InnerList != 0) {
    auto& holes = innerLists_[f.InnerList];
    for (const TRingId ring : holes) FreeRing(ring);
    std::vector<TRingId>().swap(holes);
    freeInnerLists_.push_back(f.InnerList);
  }
  FreeRing(f.OuterRing);
  f.OuterRing = {};
  f.Polygon = {};
  f.InnerList = 0;
}

void T2DEdgelist::RemoveFace(TFaceId face) {
  const int index = faceList_.IndexOf(face);
  if (index >= 0) faceList_.RemoveAt(index, "T2DEdgelist.RemoveFace");
  FreeFace(face);
}

}  // namespace qv
