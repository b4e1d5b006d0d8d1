// Small-area elimination: what the finished mesh loses before it becomes the wooded layer.
//
// After the tile pass every wooded polygon carries its holes as the row pass cut them. Each
// hole ring R of a wooded polygon P names the open polygon of the clearing inside it
// (R.EnclosedPolygon); that open polygon's own holes name the wooded islands inside the
// clearing, and so on, alternating classes inwards. A hole's area (minus its signed, clockwise
// ring area) covers everything inside it, islands included.
//
// Two steps, always in this order:
// 1. CheckSmallNonWoodedAreas fills every clearing below MinClearingArea: P loses the hole and
//    gains its whole area. The clearings of the islands inside a filled clearing are filled
//    with it, since they are smaller still. Islands stay polygons of their own and keep their
//    area (grown by their own filled clearings); the next step judges them on it. No polygon
//    is added or removed here.
// 2. RemoveSmallAndOpenPolygons deletes every open polygon and every wooded polygon below
//    MinWoodedArea, keeping the order of the others.
//
// A hole whose enclosed polygon is missing, flagged or already freed is filled without looking
// inside it: there is nothing left to visit. Nesting that leads back into itself can only come
// from a damaged mesh; it is reported ("Error: Recursive loop in
// CheckHoleOnSmallNonWoodedAreas") and the hole under examination at that level is kept, so the
// recursion always ends.
#pragma once

#include "calculation/ParameterDefaults.h"
#include "geometry/Ids.h"
#include "geometry/PolygonMesh.h"

namespace qv {

struct TAreaLimits {
  double MinClearingArea = defaults::MinClearingArea;  // m2; a clearing of exactly this stays
  double MinWoodedArea = defaults::MinWoodedArea;      // m2; a wood of exactly this stays

  // Whether a hole of the given area in a polygon of the given class stays a hole rather than
  // being filled: a clearing in a wooded polygon is measured against MinClearingArea, a wooded
  // patch in an open polygon against MinWoodedArea. The row pass asks this the moment a join
  // closes a hole; a hole of exactly the limit stays.
  bool HoleIsKept(bool enclosingIsWooded, double area) const {
    return area >= (enclosingIsWooded ? MinClearingArea : MinWoodedArea);
  }
};

// Step 1 over all polygons that exist when it starts; always true.
bool CheckSmallNonWoodedAreas(T2DPolygonMesh& mesh, const TAreaLimits& limits);

// Hole h of polygon p: true when it was filled (p grew by its area and the ring is gone), false
// when it stays. guard is the hole at which the examination started; meeting it again among
// the nested holes is a loop.
bool CheckHoleOnSmallNonWoodedAreas(T2DPolygonMesh& mesh, const TAreaLimits& limits, TPolygonId p,
                                    int h, TRingId guard);

// Step 2: from the last polygon down, deletes each one unless it is wooded with an area of at
// least MinWoodedArea, then purges with Pack(0), which also takes the polygons flagged deleted.
void RemoveSmallAndOpenPolygons(T2DPolygonMesh& mesh, const TAreaLimits& limits);

}  // namespace qv
