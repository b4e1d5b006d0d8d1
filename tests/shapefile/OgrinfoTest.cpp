// GDAL's ogrinfo, an independent and strict reader, opens written sets without a complaint.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "MeshBuilder.h"
#include "RecordingPlatform.h"
#include "ShapeTestSupport.h"
#include "shapefile/SaveToShapefile.h"

namespace qv {
namespace {

struct OgrinfoRun {
  int status = -1;
  std::string out, err;
};

OgrinfoRun RunOgrinfo(const test::ScratchDir& dir, const std::string& shp,
                      const std::string& options = "-al -q") {
  const auto out = dir / "ogr.out";
  const auto err = dir / "ogr.err";
  OgrinfoRun run;
  run.status = std::system(("ogrinfo -ro " + options + " '" + shp + "' >'" + out + "' 2>'" + err + "'").c_str());
  std::stringstream o, e;
  o << std::ifstream(out).rdbuf();
  e << std::ifstream(err).rdbuf();
  run.out = o.str();
  run.err = e.str();
  std::filesystem::remove(out);
  std::filesystem::remove(err);
  return run;
}

TEST(Ogrinfo, readsBothKindsOfLayerWithoutErrorOrWarning) {
  if (std::system("command -v ogrinfo >/dev/null 2>&1") != 0) GTEST_SKIP() << "ogrinfo missing";
  test::RecordingPlatform platform;
  test::ScratchDir dir;
  T2DPolygons crowns;
  crowns.HasHeights = true;
  for (int i = 0; i < 20; ++i)
    test::AddCircle(crowns, 2600000 + 9 * i, 1200000 + 4 * i, 3 + 0.2 * i, 36, 6 + 0.5 * i);
  T2DPolygonMesh woods;
  const TPolygonId p = test::AddSquarePolygon(woods, 2600000, 1200000, 30, 850);
  test::AddSquareHole(woods, p, 2600002, 1200002, 5);
  test::AddSquareHole(woods, p, 2600020, 1200020, 5);
  test::AddSquarePolygon(woods, 2600100, 1200000, 20, 400);
  ASSERT_TRUE(SaveToShapefile(crowns, dir / "parcels_w2.shp").Written);
  ASSERT_TRUE(SaveToShapefile(woods, dir / "parcels_w1.shp").Written);

  const auto c = RunOgrinfo(dir, dir / "parcels_w2.shp");
  EXPECT_EQ(c.status, 0);
  EXPECT_EQ(c.err, "");
  EXPECT_NE(c.out.find("OGRFeature(parcels_w2):19"), std::string::npos) << c.out;
  EXPECT_NE(c.out.find("Hauteur (Real) = 15.5"), std::string::npos) << c.out;
  // Both carry the national grid in their .prj.
  for (const char* layer : {"parcels_w1", "parcels_w2"}) {
    const auto summary = RunOgrinfo(dir, dir / (layer + std::string(".shp")), "-so -al");
    EXPECT_NE(summary.out.find("PROJCRS[\"CH1903 / LV03\""), std::string::npos) << summary.out;
    EXPECT_NE(summary.out.find("ID[\"EPSG\",21781]]"), std::string::npos) << summary.out;
  }
  const auto w = RunOgrinfo(dir, dir / "parcels_w1.shp");
  EXPECT_EQ(w.status, 0);
  EXPECT_EQ(w.err, "");
  EXPECT_NE(w.out.find("OGRFeature(parcels_w1):1"), std::string::npos) << w.out;
  // The polygon with two holes comes back as one polygon of three rings.
  EXPECT_NE(w.out.find("Surface (Integer64) = 850\n  POLYGON ((2600000 1200000,2600000 1200030,"
                       "2600030 1200030,2600030 1200000,2600000 1200000),(2600002 1200002,"),
            std::string::npos)
      << w.out;
}

}  // namespace
}  // namespace qv
