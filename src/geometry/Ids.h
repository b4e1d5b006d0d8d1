// References between the objects of a polygon mesh.
//
// A run's mesh holds millions of vertices, edges, rings, faces and polygons. They live in
// pools owned by the mesh and refer to each other by 32-bit positions in those pools rather
// than by 64-bit pointers, which halves the size of every edge. Position 0 of every pool is
// never used, so a default id is the nil reference.
#pragma once

#include <cstdint>

namespace qv {

template <class Tag>
struct TId {
  std::uint32_t Index = 0;

  constexpr TId() = default;
  constexpr explicit TId(std::uint32_t index) : Index(index) {}
  constexpr explicit operator bool() const { return Index != 0; }
  friend constexpr bool operator==(TId, TId) = default;
};

using TVertexId = TId<struct TVertexTag>;
using TEdgeId = TId<struct TEdgeTag>;
using TRingId = TId<struct TRingTag>;
using TFaceId = TId<struct TFaceTag>;
using TPolygonId = TId<struct TPolygonTag>;

}  // namespace qv
