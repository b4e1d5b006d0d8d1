// quelvaris-host --tiles: the tile layout of an extent as JSON, for tools that prepare height-model
// tiles (the QGIS plugin's raster preparation) and must lay them exactly where a run will look.
//
//   quelvaris-host --tiles [--set NAME=TEXT]... XMIN XMAX YMIN YMAX [SHAPEFILE]
//
// The layout and the file names come from the parameter dialog itself, set up as for a run over
// that extent (the settings beside SHAPEFILE, or the dialog's defaults without one) with the
// --set edits typed in; nothing is calculated or written.
#pragma once

#include <ostream>

#include "HostCommandLine.h"

namespace qv::host {

// The layout as one JSON object on `out`: ExitDone. An edit that cannot be made, or an extent
// that cannot be laid out: one line on `err`, a JSON object {"error": ..., "reason": ...} on
// `out`, ExitUsage.
int PrintTileLayout(const THostCommand& command, std::ostream& out, std::ostream& err);

}  // namespace qv::host
