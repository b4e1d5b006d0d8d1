#include "shapefile/SaveToShapefile.h"

#include "shapefile/CrownRecords.h"
#include "shapefile/LayerSet.h"
#include "shapefile/MeshRecords.h"

namespace qv {

TShapeWriteResult TShapeFile::Write(const TRecordSource& source, const std::string& path) {
  const TLayerToSave layer{source, path};
  return SaveLayers({&layer, 1}).front();
}

TShapeWriteResult TShapeFile::WritePolygonList(const T2DPolygons& list, const std::string& path) {
  return Write(TCrownRecords(list), path);
}

TShapeWriteResult TShapeFile::WritePolygonMesh(const T2DPolygonMesh& mesh,
                                               const std::string& path) {
  T2DFinishedPolygons polygons;
  polygons.CaptureAll(mesh);
  return Write(TMeshRecords(polygons), path);
}

TShapeWriteResult SaveToShapefile(const T2DPolygonMesh& mesh, const std::string& fileName) {
  TShapeFile file;
  return file.WritePolygonMesh(mesh, fileName);
}

TShapeWriteResult SaveToShapefile(const T2DPolygons& list, const std::string& fileName) {
  TShapeFile file;
  return file.WritePolygonList(list, fileName);
}

TLayerPairResult SaveLayerPair(const T2DPolygonMesh& mesh, const std::string& woodedPath,
                               const T2DPolygons& crowns, const std::string& crownPath) {
  T2DFinishedPolygons wooded;
  wooded.CaptureAll(mesh);
  const TMeshRecords woodedRecords(wooded);
  const TCrownRecords crownRecords(crowns);
  const TLayerToSave layers[] = {{woodedRecords, woodedPath}, {crownRecords, crownPath}};
  const auto results = SaveLayers(layers);
  return {results[0], results[1]};
}

}  // namespace qv
