// The summary that the host prints after a completed run, the demo's included:
//
//   Tiles read: 4 of 4
//   Wooded polygons: 368, total area 5396836 m2 (539.68 ha)
//   Crown circles: 95631
//   Elapsed time: 1.1 s
//   Wooded-area layer: /tmp/pasture/shapes/parcels_w1.shp
//   Crown-circle layer: /tmp/pasture/shapes/parcels_w2.shp
//
// The counts and the area are read back from the layers' dBase tables. A layer that the run
// left empty is not written, and a file of its name is an earlier run's: the result code, not
// the file, says which layers this run wrote.
#pragma once

#include <cstdint>
#include <ostream>

#include "dialog/BatchView.h"

namespace qv::host {

// result: what quelvaris returned (1 to 4; nothing is printed for other values). A report
// without tiles (the Windows host's dialog, which reports only its result) leaves that line out.
void PrintRunSummary(std::ostream& out, std::int32_t result, const TRunReport& report,
                     double seconds);

}  // namespace qv::host
