// Between tiles, the polygons that can no longer change leave the mesh.
//
// WHEN A POLYGON IS FINAL
// The joins reach a polygon only through a seam link: a column link of the last row built (for
// the next row, or for the tile below) or a row link (for the tile to the right); every other
// mesh edge is behind the open frontier. Between two tiles no run is open, and the links a
// later tile will follow are: the column links of a tile whose lower neighbour is to come, the
// row links of one whose right neighbour is, and the last row link of one whose lower-right
// neighbour is (the others are stale and are cleared). So a polygon
// that none of those links resolves to is final: no later join can grow it, cut a hole into it,
// absorb it or be absorbed by it, and its holes are all decided (a hole is cut whole, behind
// the frontier, and never changes afterwards).
//
// WHAT ELIMINATION WILL DO WITH IT
// A hole stays in a polygon only when the row pass measured it and kept it (HoleIsKept), and
// the clearing fill measures the same unchanged ring again, so it keeps every hole of a sound
// mesh; only a hole it would fill looks inside at other polygons. While every wooded polygon's
// holes pass that test again, a final polygon is decided: open, flagged or wooded below
// MinWoodedArea, it would be deleted and goes now; a wooded one of at least MinWoodedArea would
// be written and moves to the finished polygons (T2DFinishedPolygons) as the writer would
// write it. A wooded polygon with a hole the fill would not keep (a damaged mesh) stops the
// compaction: the fill may then visit anything.
//
// The holes of an open polygon are never written and only a fill would look at them, so a
// live open polygon stays without its holes: in a pasture the open land is one polygon that
// touches every border, and its holes are the outlines of all the woods in it.
//
// HOW IT LEAVES
// The live polygons (and any final one that stays) are copied, in list order and with their
// sequence, into a fresh mesh that replaces the old one; the seam links are moved onto the
// copies of their edges. The old mesh, and with it every record of what left, is freed in
// one go. Anything unexpected (a link to a flagged edge or polygon, a ring that is not one
// cycle) leaves the mesh untouched: compaction is only ever an optimisation.
#pragma once

#include <cstdint>

#include "calculation/RunState.h"
#include "calculation/SmallAreaElimination.h"
#include "calculation/Tiles.h"

namespace qv {

// Compacts the run's mesh after tile (row, column) of the tiles; false when it left the mesh as
// it was (and the finished polygons as they were).
bool CompactMesh(TTiles& tiles, TRunState& state, const TAreaLimits& limits, std::int32_t row,
                 std::int32_t column);

}  // namespace qv
