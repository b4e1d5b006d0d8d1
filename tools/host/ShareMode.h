// quelvaris-host --share PARCELS WOODS CROWNS TABLE: the wooded area of every parcel.
//
// The QGIS plugin writes the parcels it works on as a polygon shapefile and names the layers of
// a run (or any wooded areas and crown circles in the same coordinates); the table it gets back
// has one line per parcel record, "RECORD AREA" (record from 0, the covered area in square
// units, with a decimal point whatever the locale). While working, standard error gets lines
// "progress DONE TOTAL"; with events, standard output gets progress events instead and, once
// the table is written, the result event with status 1.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace qv::host {

// files: parcels, woods, crowns, table. Throws what a layer's reader or the table's writer
// refuses, with the file named.
int RunShare(const std::vector<std::string>& files, bool events, std::ostream& out,
             std::ostream& progress);

}  // namespace qv::host
