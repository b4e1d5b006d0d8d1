// A written pair read back against the format, byte by byte, and by GDAL's ogrinfo, an independent
// and strict reader.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <numbers>
#include <vector>

#include "RecordingPlatform.h"
#include "ShapeTestSupport.h"
#include "geometry/Polygons.h"
#include "shapefile/SaveToShapefile.h"

namespace qv {
namespace {

using namespace std::string_literals;

using test::BE32;
using test::Field;
using test::LE32;
using test::LEDouble;
using TAreas = std::vector<std::vector<double>>;

struct TBox {
  double Xmin = std::numeric_limits<double>::max(), Ymin = Xmin, Xmax = -Xmin, Ymax = -Xmin;
  void Add(const TBox& b) {
    Xmin = std::min(Xmin, b.Xmin), Ymin = std::min(Ymin, b.Ymin);
    Xmax = std::max(Xmax, b.Xmax), Ymax = std::max(Ymax, b.Ymax);
  }
  bool operator==(const TBox&) const = default;
};
TBox BoxAt(const std::string& b, std::size_t at) {
  return {LEDouble(b, at), LEDouble(b, at + 8), LEDouble(b, at + 16), LEDouble(b, at + 24)};
}

// Checks the headers, the index and every record of a main file against each other and against
// the points themselves. Returns twice the signed area of each record's parts.
TAreas CheckShapes(const std::string& shp, const std::string& shx) {
  EXPECT_EQ(shp.substr(0, 36), std::string("\0\0\x27\x0a", 4) + std::string(20, '\0') +
                                   shp.substr(24, 4) + "\xe8\x03\0\0\x05\0\0\0"s);
  EXPECT_EQ(2 * static_cast<std::size_t>(BE32(shp, 24)), shp.size());
  EXPECT_EQ(shp.substr(68, 32), std::string(32, '\0'));  // no Z, no M
  // The index's header is the main file's but for the length.
  EXPECT_EQ(shx.substr(0, 24) + shx.substr(28, 72), shp.substr(0, 24) + shp.substr(28, 72));
  EXPECT_EQ(2 * static_cast<std::size_t>(BE32(shx, 24)), shx.size());
  TAreas areas;
  TBox layer;
  std::size_t at = 100;
  for (std::size_t i = 0; 100 + 8 * i < shx.size(); ++i) {
    EXPECT_EQ(2 * static_cast<std::size_t>(BE32(shx, 100 + 8 * i)), at);
    const int content = BE32(shp, at + 4), parts = LE32(shp, at + 44), points = LE32(shp, at + 48);
    EXPECT_EQ(BE32(shp, at), static_cast<int>(i) + 1);
    EXPECT_EQ(BE32(shx, 104 + 8 * i), content);
    EXPECT_EQ(LE32(shp, at + 8), 5);
    EXPECT_EQ(content, 22 + 2 * parts + 8 * points);
    const auto point = [&](int v, int c) { return LEDouble(shp, at + 52 + 4 * parts + 16 * v + 8 * c); };
    TBox box;
    for (int k = 0; k < parts; ++k) {
      const int from = LE32(shp, at + 52 + 4 * k);
      const int to = k + 1 < parts ? LE32(shp, at + 56 + 4 * k) : points;
      double twice = 0;
      for (int v = from; v < to; ++v) {
        box.Add({point(v, 0), point(v, 1), point(v, 0), point(v, 1)});
        if (v + 1 < to)
          twice += (point(v, 0) - point(from, 0)) * (point(v + 1, 1) - point(from, 1)) -
                   (point(v + 1, 0) - point(from, 0)) * (point(v, 1) - point(from, 1));
      }
      EXPECT_TRUE(point(from, 0) == point(to - 1, 0) && point(from, 1) == point(to - 1, 1));
      areas.resize(i + 1);
      areas[i].push_back(twice);
    }
    EXPECT_EQ(BoxAt(shp, at + 12), box) << "record " << i;
    layer.Add(box);
    at += 8 + 2 * static_cast<std::size_t>(content);
  }
  EXPECT_EQ(at, shp.size());
  EXPECT_EQ(BoxAt(shp, 36), layer);
  return areas;
}

// A .dbf file of the recording platform's date, 6 December 2026.
std::string Table(std::vector<std::string> fields, const std::vector<std::string>& records) {
  const auto length = static_cast<char>(32 * fields.size() + 33);
  std::string table{3, 126, 12, 6, static_cast<char>(records.size()), 0, 0, 0, length, 0,
                    static_cast<char>(records[0].size()), 0};
  table.resize(32, '\0');
  for (const std::string& f : fields) {
    std::string d(32, '\0');
    d.replace(0, f.size() - 3, f.substr(0, f.size() - 3));
    d[11] = f[f.size() - 3], d[16] = f[f.size() - 2], d[17] = f[f.size() - 1];
    table += d;
  }
  table += '\r';
  for (const std::string& r : records) table += r;
  return table + '\x1a';
}

TEST(WrittenPair, holdsTheFormatsHeadersIndexRecordsAndTables) {
  test::RecordingPlatform platform;
  test::TTempDir dir;
  T2DPolygonMesh mesh;
  const TPolygonId p = test::AddSquarePolygon(mesh, 2600000, 1200000, 10, 92);
  test::AddSquareHole(mesh, p, 2600001, 1200001, 2);
  test::AddSquareHole(mesh, p, 2600005, 1200005, 3);
  test::AddSquarePolygon(mesh, 2600020, 1199990, 3, 9, false);
  T2DPolygons crowns;
  crowns.HasHeights = true;
  crowns.Add({2600000, 1200000, 5, 12.5, 36, true});
  crowns.Add({2600100.5, 1200050, 3, 2.0, 36, false});
  const std::string w1 = dir.File("p_w1"), w2 = dir.File("p_w2");
  const auto written = SaveLayerPair(mesh, w1 + ".shp", crowns, w2 + ".shp");
  ASSERT_TRUE(written.Wooded.Written && written.Crowns.Written);

  // Outer rings clockwise, holes counter-clockwise; a circle of 36 points clockwise from due east.
  EXPECT_EQ(CheckShapes(test::ReadFile(w1 + ".shp"), test::ReadFile(w1 + ".shx")),
            (TAreas{{-200, 8, 18}, {-18}}));
  const std::string shp = test::ReadFile(w2 + ".shp");
  const TAreas circles = CheckShapes(shp, test::ReadFile(w2 + ".shx"));
  ASSERT_EQ(circles.size(), 2u);
  for (const double r : {5.0, 3.0})
    EXPECT_NEAR(circles[r == 5.0 ? 0 : 1][0], -36 * r * r * std::sin(std::numbers::pi / 18), 1e-6);
  EXPECT_EQ(BE32(shp, 104), 22 + 2 + 8 * 37);
  EXPECT_EQ(LEDouble(shp, 156), 2600005.0);
  EXPECT_EQ(LEDouble(shp, 164), 1200000.0);

  EXPECT_EQ(test::ReadFile(w1 + ".dbf"),
            Table({"idN\12\0"s, "boiseL\1\0"s, "SurfaceN\20\0"s},
                  {" " + Field("1", 10) + "T" + Field("92", 16), " " + Field("2", 10) + "F" + Field("9", 16)}));
  EXPECT_EQ(test::ReadFile(w2 + ".dbf"),
            Table({"idN\12\0"s, "boiseL\1\0"s, "SurfaceN\20\0"s, "HauteurN\20\2"s},
                  {" " + Field("1", 10) + "T" + Field("79", 16) + Field("12.50", 16),
                   " " + Field("2", 10) + "F" + Field("28", 16) + Field("2.00", 16)}));

  if (std::system("command -v ogrinfo >/dev/null 2>&1") != 0) GTEST_SKIP() << "ogrinfo missing";
  for (const std::string& layer : {w1, w2}) {
    const std::string out = dir.File("ogr.out"), err = dir.File("ogr.err");
    EXPECT_EQ(std::system(("ogrinfo -ro -al '" + layer + ".shp' >'" + out + "' 2>'" + err + "'").c_str()), 0);
    EXPECT_EQ(test::ReadFile(err), "");
    // Both carry the national grid in their .prj.
    EXPECT_NE(test::ReadFile(out).find("ID[\"EPSG\",21781]]"), std::string::npos) << test::ReadFile(out);
  }
}

}  // namespace
}  // namespace qv
