#include "shapefile/SaveToShapefile.h"

#include "shapefile/CrownRecords.h"
#include "shapefile/MeshRecords.h"

namespace qv {

TShapeWriteResult TShapeFile::WritePolygonList(const T2DPolygons& list, const std::string& path) {
  return Write(TCrownRecords(list), path);
}

TShapeWriteResult TShapeFile::WritePolygonMesh(const T2DPolygonMesh& mesh,
                                               const std::string& path) {
  return Write(TMeshRecords(mesh), path);
}

TShapeWriteResult SaveToShapefile(const T2DPolygonMesh& mesh, const std::string& fileName) {
  TShapeFile file;
  return file.WritePolygonMesh(mesh, fileName);
}

TShapeWriteResult SaveToShapefile(const T2DPolygons& list, const std::string& fileName) {
  TShapeFile file;
  return file.WritePolygonList(list, fileName);
}

}  // namespace qv
