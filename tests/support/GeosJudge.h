// GEOS as an independent judge of written polygons: the parts of a record are assembled as a
// GIS assembles a shapefile polygon (the clockwise ring is the shell, counter-clockwise rings
// are its holes) and GEOS decides whether that polygon is valid.
#pragma once

#include <geos_c.h>

#include <memory>
#include <string>
#include <vector>

#include "RasterOracle.h"

namespace qv::test {

// Empty when the rings make exactly one valid polygon: one shell, the rest holes, valid for
// GEOS; otherwise what is wrong, with GEOS's reason.
inline std::string GeosPolygonFault(const std::vector<TRingPoints>& rings) {
  static GEOSContextHandle_t geos = GEOS_init_r();
  auto makeRing = [](const TRingPoints& ring) -> GEOSGeometry* {
    const auto n = static_cast<unsigned>(ring.Points.size());
    GEOSCoordSequence* seq = GEOSCoordSeq_create_r(geos, n + 1, 2);
    for (unsigned i = 0; i <= n; ++i) {
      const auto [x, y] = ring.Points[i % n];
      GEOSCoordSeq_setXY_r(geos, seq, i, x, y);
    }
    return GEOSGeom_createLinearRing_r(geos, seq);
  };
  const TRingPoints* shell = nullptr;
  std::vector<const TRingPoints*> holes;
  for (const TRingPoints& ring : rings) {
    if (ring.Points.size() < 3) return "a ring of fewer than three points";
    if (SignedArea(ring) < 0) {
      if (shell != nullptr) return "more than one shell";
      shell = &ring;
    } else {
      holes.push_back(&ring);
    }
  }
  if (shell == nullptr) return "no shell";
  GEOSGeometry* outer = makeRing(*shell);
  std::vector<GEOSGeometry*> inner;
  for (const TRingPoints* h : holes) inner.push_back(makeRing(*h));
  std::unique_ptr<GEOSGeometry, void (*)(GEOSGeometry*)> polygon(
      GEOSGeom_createPolygon_r(geos, outer, inner.data(), static_cast<unsigned>(inner.size())),
      [](GEOSGeometry* g) { GEOSGeom_destroy_r(geos, g); });
  if (GEOSisValid_r(geos, polygon.get()) == 1) return {};
  char* reason = GEOSisValidReason_r(geos, polygon.get());
  std::string fault = std::string("invalid for GEOS: ") + (reason != nullptr ? reason : "?");
  GEOSFree_r(geos, reason);
  return fault;
}

}  // namespace qv::test
