#include "geometry/PolygonMesh.h"

#include <stdexcept>
#include <string>
#include <utility>

namespace qv {

TPolygonId T2DPolygonMesh::AddPolygon() {
  const TPolygonId polygon(polygons_.Add());
  const TFaceId face = AddFace();
  FaceRecord(face).Polygon = polygon;
  polygons_[polygon.Index].Face = face;
  polygons_[polygon.Index].Sequence = nextSequence_++;
  polygonList_.Append(polygon);
  return polygon;
}

bool T2DPolygonMesh::MarkPolygonDeleted(TPolygonId polygon) {
  T2DPolygon& p = (*this)[polygon];
  if (p.Deleted) return true;
  p.Deleted = true;
  ++deletedPolygons_;
  MarkFaceDeleted(p.Face);
  return true;
}

void T2DPolygonMesh::FreePolygon(TPolygonId polygon) {
  T2DPolygon& p = polygons_[polygon.Index];
  if (IsLiveFace(p.Face)) FaceRecord(p.Face).Polygon = {};
  p.Face = {};
  p.Deleted = true;
}

bool T2DPolygonMesh::DeletePolygon(int index) {
  const TPolygonId polygon = polygonList_.At(index, "T2DPolygonMesh.DeletePolygon");
  const TFaceId face = polygons_[polygon.Index].Face;
  if (face) RemoveFace(face);
  polygonList_.RemoveAt(index, "T2DPolygonMesh.DeletePolygon");
  FreePolygon(polygon);
  return true;
}

void T2DPolygonMesh::Pack(double ratio) {
  if (static_cast<double>(deletedPolygons_) > ratio * static_cast<double>(PolygonCount())) {
    polygonList_.RemoveIf([this](TPolygonId id) {
      if (!polygons_[id.Index].Deleted) return false;
      FreePolygon(id);
      return true;
    });
    deletedPolygons_ = 0;
  }
  T2DEdgelist::Pack(ratio);
}

TEdgeId T2DPolygonMesh::StartRing(TPolygonId polygon, double x1, double y1, double x2,
                                  double y2) {
  const TEdgeId edge = StartRing(FaceOf(polygon), x1, y1, x2, y2);
  if (edge) (*this)[OuterRing(polygon)].FirstEdge = edge;
  return edge;
}

void T2DPolygonMesh::SetFirstEdge(TPolygonId polygon, TEdgeId edge) {
  if (const TRingId ring = OuterRing(polygon)) (*this)[ring].FirstEdge = edge;
}

void T2DPolygonMesh::SetOuterEdgeCount(TPolygonId polygon, int count) {
  if (const TRingId ring = OuterRing(polygon)) (*this)[ring].EdgeCount = count;
}

int T2DPolygonMesh::OuterEdgeCount(TPolygonId polygon) const {
  const TRingId ring = OuterRing(polygon);
  return ring ? (*this)[ring].EdgeCount : 0;
}

int T2DPolygonMesh::InnerRingCount(TPolygonId polygon) const {
  const TFaceId face = FaceOf(polygon);
  return face ? InnerRingCount(face) : 0;
}

TRingId T2DPolygonMesh::InnerRing(TPolygonId polygon, int index) const {
  const TFaceId face = FaceOf(polygon);
  if (!face) {
    RaiseIndexError("T2DPolygonMesh.InnerRing", index);
  }
  return InnerRing(face, index);
}

int T2DPolygonMesh::TotalEdgeCount(TPolygonId polygon) const {
  const TFaceId face = FaceOf(polygon);
  return face ? TotalEdgeCount(face) : 0;
}

int T2DPolygonMesh::AddInnerRing(TPolygonId polygon, TRingId ring) {
  return AppendInnerRing(FaceOf(polygon), ring);
}

TRingId T2DPolygonMesh::ExtractInnerRing(TPolygonId polygon, int index) {
  const TFaceId face = FaceOf(polygon);
  if (!face) {
    RaiseIndexError("T2DPolygonMesh.ExtractInnerRing", index);
  }
  return T2DEdgelist::ExtractInnerRing(face, index);
}

int T2DPolygonMesh::ClearInnerRings(TPolygonId polygon) {
  const TFaceId face = FaceOf(polygon);
  return face ? T2DEdgelist::ClearInnerRings(face) : 0;
}

void T2DPolygonMesh::MarkEdgeDeleted(TPolygonId polygon, TEdgeId edge) {
  T2DPolygon& p = (*this)[polygon];
  if (FlagEdgeDeleted(edge)) ++p.DeletedEdges;
}

std::size_t T2DPolygonMesh::MemoryBytes() const {
  return T2DEdgelist::MemoryBytes() + polygons_.CapacityBytes() + polygonList_.CapacityBytes();
}

}  // namespace qv
