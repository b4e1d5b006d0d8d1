// The polygons of a mesh as records of the wooded-area layer: one record per polygon, its outer
// ring and then its holes in list order.
//
// A ring is written by walking Prev from its FirstEdge, which reverses its Next order: outer
// rings (counter-clockwise along Next) come out clockwise and holes counter-clockwise, as the
// format wants. A ring that passes a point twice (cells touching at a corner) is written as
// several simple rings touching at that point (SimpleRings.h), the shell first. Before a ring is written its walk is checked: at least three edges, no nil link
// or vertex, Next and Prev mutually consistent, and back at FirstEdge after exactly EdgeCount
// steps, never walking more edges than the mesh holds. A polygon with any ring that fails is
// left out whole: writing it without a broken hole would give it the wrong area.
//
// Polygons that left the mesh before the end of the run (T2DFinishedPolygons) were walked and
// checked by the same code when they left (Capture); the layer takes both kinds in the run's
// creation order.
#pragma once

#include <vector>

#include "geometry/FinishedPolygons.h"
#include "geometry/PolygonMesh.h"
#include "shapefile/ShapeFile.h"
#include "shapefile/SimpleRings.h"

namespace qv {

class TMeshRecords final : public TRecordSource {
 public:
  explicit TMeshRecords(const T2DPolygonMesh& mesh) : mesh_(mesh) {}
  TMeshRecords(const T2DPolygonMesh& mesh, const T2DFinishedPolygons& finished);

  // Keeps polygon p of mesh in finished as the writer would write it now.
  static void Capture(const T2DPolygonMesh& mesh, TPolygonId p, T2DFinishedPolygons& finished);

  std::int64_t Count() const override {
    return mesh_.PolygonCount() + (finished_ ? finished_->Count() : 0);
  }
  bool HasHeights() const override { return false; }
  bool Shape(std::int64_t i, TRecordShape& shape) const override;
  TRecordAttributes Attributes(std::int64_t i) const override;

 private:
  bool RingIsSound(TRingId ring) const;
  // The outer ring and every hole of the polygon pass the ring check.
  bool RingsAreSound(TPolygonId polygon) const;
  // Box over the outer ring's vertices, walked along Next.
  T2DRect OuterBox(TRingId ring) const;
  void AppendRing(TRingId ring, TRecordShape& shape, bool outer) const;
  void Walk(TRingId ring) const;  // the ring's points along Prev into walk_
  bool MeshShape(TPolygonId polygon, TRecordShape& shape) const;
  bool FinishedShape(std::int64_t i, TRecordShape& shape) const;
  // Record i: a polygon of the mesh (its list index) or, negative, ~index of a finished one.
  std::int64_t Source(std::int64_t i) const {
    return order_.empty() ? i : order_[static_cast<std::size_t>(i)];
  }

  const T2DPolygonMesh& mesh_;
  const T2DFinishedPolygons* finished_ = nullptr;
  std::vector<std::int64_t> order_;
  // Scratch space reused from record to record.
  mutable std::vector<T2DPoint> walk_;
  mutable TRingSplitter splitter_;
};

}  // namespace qv
