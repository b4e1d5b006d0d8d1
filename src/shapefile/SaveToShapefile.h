// Saving the two containers of a run as shapefile sets.
//
// These are the containers' SaveToShapefile, kept in the shapefile folder because the geometry
// does not depend on the writer. Each creates a TShapeFile for the one write.
//
// Result: Written is true when the set was written and replaced any earlier set of that name;
// when false, the user has been told (no polygons, or the write error) and an earlier set is
// as it was. LeftOut counts records whose rings could not be trusted and were not written
// (the set is still written without them when any record remains); a run must fail when it is
// not 0, since the layer is then incomplete.
#pragma once

#include <string>

#include "shapefile/ShapeFile.h"

namespace qv {

class T2DPolygonMesh;
class T2DPolygons;

TShapeWriteResult SaveToShapefile(const T2DPolygonMesh& mesh, const std::string& fileName);
TShapeWriteResult SaveToShapefile(const T2DPolygons& list, const std::string& fileName);

// Both layers of a run as one (see SaveLayers): the wooded areas and the crown circles are
// either both in place or neither is changed (an empty layer is not written and keeps the files
// of an earlier run).
struct TLayerPairResult {
  TShapeWriteResult Wooded;
  TShapeWriteResult Crowns;
};
TLayerPairResult SaveLayerPair(const T2DPolygonMesh& mesh, const std::string& woodedPath,
                               const T2DPolygons& crowns, const std::string& crownPath);
}  // namespace qv
