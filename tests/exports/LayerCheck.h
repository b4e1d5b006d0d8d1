// Reads a result layer back with an independent reader (shapelib) and checks what every layer
// of a run must hold.
#pragma once

#include <gtest/gtest.h>
#include <shapefil.h>

#include <string>

#include "dialog/TestProject.h"

namespace qv::test {

struct TLayerContents {
  int Records = 0;
  double MinSurface = 0;
  double MinHeight = 0;  // crown layer only
  int VerticesOfFirst = 0;
};

// Checks the shape type, the fields, ids 1..n, "boise" T and every vertex within the extent
// (grown by `margin`); returns what the tests compare further.
inline TLayerContents CheckLayer(const std::string& shpPath, bool crowns, const TExtent& extent,
                                 double margin) {
  TLayerContents contents;
  SHPHandle shp = SHPOpen(shpPath.c_str(), "rb");
  DBFHandle dbf = DBFOpen(shpPath.c_str(), "rb");
  EXPECT_NE(shp, nullptr) << shpPath;
  EXPECT_NE(dbf, nullptr) << shpPath;
  if (shp == nullptr || dbf == nullptr) {
    if (shp) SHPClose(shp);
    if (dbf) DBFClose(dbf);
    return contents;
  }
  int entities = 0;
  int type = 0;
  SHPGetInfo(shp, &entities, &type, nullptr, nullptr);
  EXPECT_EQ(type, SHPT_POLYGON);
  EXPECT_EQ(DBFGetRecordCount(dbf), entities);
  const int id = DBFGetFieldIndex(dbf, "id");
  const int boise = DBFGetFieldIndex(dbf, "boise");
  const int surface = DBFGetFieldIndex(dbf, "Surface");
  const int height = DBFGetFieldIndex(dbf, "Hauteur");
  EXPECT_TRUE(id >= 0 && boise >= 0 && surface >= 0);
  EXPECT_EQ(height >= 0, crowns);
  contents.Records = entities;
  for (int i = 0; i < entities; ++i) {
    EXPECT_EQ(DBFReadIntegerAttribute(dbf, i, id), i + 1);
    EXPECT_STREQ(DBFReadStringAttribute(dbf, i, boise), "T");
    const double area = DBFReadDoubleAttribute(dbf, i, surface);
    contents.MinSurface = i == 0 ? area : std::min(contents.MinSurface, area);
    if (crowns) {
      const double h = DBFReadDoubleAttribute(dbf, i, height);
      contents.MinHeight = i == 0 ? h : std::min(contents.MinHeight, h);
    }
    SHPObject* shape = SHPReadObject(shp, i);
    if (shape == nullptr) {
      ADD_FAILURE() << "record " << i << " of " << shpPath << " cannot be read";
      break;
    }
    if (i == 0) contents.VerticesOfFirst = shape->nVertices;
    for (int v = 0; v < shape->nVertices; ++v) {
      EXPECT_GE(shape->padfX[v], extent.XMin - margin);
      EXPECT_LE(shape->padfX[v], extent.XMax + margin);
      EXPECT_GE(shape->padfY[v], extent.YMin - margin);
      EXPECT_LE(shape->padfY[v], extent.YMax + margin);
    }
    SHPDestroyObject(shape);
  }
  SHPClose(shp);
  DBFClose(dbf);
  return contents;
}

}  // namespace qv::test
