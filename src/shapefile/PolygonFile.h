// Reads the polygons of a shapefile's main file (.shp), record by record.
//
// The wooded share reads three layers: the parcels (written by the QGIS plugin), the wooded areas
// and the crown circles (written by a run, or by any GIS). Only the geometry is needed, in record
// order, so neither the index (.shx) nor the table (.dbf) is read. Polygon, PolygonZ and PolygonM
// records are taken in the plane; a null record is an empty shape. A file that is not a polygon
// shapefile, or a record whose counts do not fit its length, is refused with the reason.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "geometry/RingShape.h"

namespace qv {

class EPolygonFile : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct TShapeBox {
  double XMin = 0.0;
  double YMin = 0.0;
  double XMax = 0.0;
  double YMax = 0.0;
};

// Every record's shape, in record order; a record whose box `keep` refuses is read as an empty
// shape, so that a layer much larger than the area asked for is not held in memory.
std::vector<TRingShape> ReadPolygonFile(const std::string& path,
                                        const std::function<bool(const TShapeBox&)>& keep);

}  // namespace qv
