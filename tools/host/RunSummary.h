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
#include <optional>
#include <ostream>
#include <string>

#include "LayerSummary.h"
#include "dialog/BatchView.h"

namespace qv::host {

struct TLayerFigures {
  std::string Path;
  bool Written = false;
  std::optional<TLayerSummary> Summary;  // nothing when the written layer cannot be read back
};

struct TRunFigures {
  std::int32_t Tiles = 0;  // 0: the view reported no tiles (the Windows host's dialog)
  std::int32_t TilesRead = 0;
  TLayerFigures Woods;  // Summary->FieldSum: the total area
  TLayerFigures Crowns;
  double Seconds = 0.0;
};

// The figures of a completed run; result is what quelvaris returned (1 to 4).
TRunFigures CollectRunFigures(std::int32_t result, const TRunReport& report, double seconds);

// The summary above; a report without tiles leaves that line out.
void PrintRunSummary(std::ostream& out, const TRunFigures& figures);

}  // namespace qv::host
