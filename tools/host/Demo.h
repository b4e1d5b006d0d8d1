// quelvaris-host demo: a generated height model and one run over it, with a summary.
//
// DIR/MNA_Laser/MNH/ receives a realistic 2 x 2 block of ASCII tiles with the default naming,
// DIR/shapes/ stands for the host's project (the shapefile parcels.shp need not exist), and the
// run covers parts of all four tiles with the default parameters.
#pragma once

#include <ostream>
#include <string>

#include "dialog/ConsoleOutput.h"

namespace qv::host {

// Returns the program's exit status: 0 when quelvaris returned, 1 when the demo data could not
// be written.
int RunDemo(const std::string& directory, TProgressStyle progress, std::ostream& out,
            std::ostream& err);

}  // namespace qv::host
