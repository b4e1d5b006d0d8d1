// The files as the formats define them: a written pair read back byte by byte and by GDAL's
// ogrinfo (an independent and strict reader), and the texts of the attribute table.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "RecordingPlatform.h"
#include "TempDir.h"
#include "geometry/PolygonMesh.h"
#include "geometry/Polygons.h"
#include "shapefile/DBaseNumber.h"
#include "shapefile/SaveToShapefile.h"

namespace qv {
namespace {

using namespace std::string_literals;
using TAreas = std::vector<std::vector<double>>;
using TBox = std::array<double, 4>;  // Xmin, Ymin, Xmax, Ymax

// A file's bytes, and the numbers at their offsets.
struct TFile {
  std::string Bytes;
  std::uint64_t At(std::int64_t at, int n, bool bigEndian) const {
    std::uint64_t v = 0;
    for (int i = 0; i < n; ++i)
      v = v << 8 | std::uint8_t(Bytes.at(std::size_t(at + (bigEndian ? i : n - 1 - i))));
    return v;
  }
  std::int64_t BE32(std::int64_t at) const { return std::int32_t(At(at, 4, true)); }
  std::int64_t LE32(std::int64_t at) const { return std::int32_t(At(at, 4, false)); }
  double Double(std::int64_t at) const { return std::bit_cast<double>(At(at, 8, false)); }
  std::string Header(std::int64_t at, std::int64_t n) const { return Bytes.substr(at, n); }
  TBox Box(std::int64_t at) const {
    return {Double(at), Double(at + 8), Double(at + 16), Double(at + 24)};
  }
};

constexpr double kFar = std::numeric_limits<double>::max();
TBox Widen(const TBox& a, const TBox& b) {
  return {std::min(a[0], b[0]), std::min(a[1], b[1]), std::max(a[2], b[2]), std::max(a[3], b[3])};
}

// Checks the headers, the index and every record of a main file against each other and against
// the points themselves. Returns twice the signed area of each record's parts.
TAreas CheckShapes(const TFile& shp, const TFile& shx) {
  // Code 9994 and length big-endian; version 1000 and type 5 (polygon) little-endian; no Z, no M.
  EXPECT_EQ(shp.Header(0, 24) + shp.Header(28, 8) + shp.Header(68, 32),
            "\0\0\x27\x0a"s + std::string(20, '\0') + "\xe8\3\0\0\5\0\0\0"s +
                std::string(32, '\0'));
  EXPECT_EQ(shx.Header(0, 24) + shx.Header(28, 72), shp.Header(0, 24) + shp.Header(28, 72));
  EXPECT_EQ(2 * shp.BE32(24), std::ssize(shp.Bytes));
  EXPECT_EQ(2 * shx.BE32(24), std::ssize(shx.Bytes));
  TAreas areas;
  TBox layer = {kFar, kFar, -kFar, -kFar};
  std::int64_t at = 100;
  for (std::int64_t i = 0; 100 + 8 * i < std::ssize(shx.Bytes); ++i) {
    const std::int64_t content = shp.BE32(at + 4), parts = shp.LE32(at + 44);
    const std::int64_t points = shp.LE32(at + 48), first = at + 52 + 4 * parts;
    EXPECT_TRUE(2 * shx.BE32(100 + 8 * i) == at && shx.BE32(104 + 8 * i) == content) << i;
    EXPECT_TRUE(shp.BE32(at) == i + 1 && shp.LE32(at + 8) == 5) << i;
    EXPECT_EQ(content, 22 + 2 * parts + 8 * points);
    const auto c = [&](std::int64_t v, int y) { return shp.Double(first + 16 * v + 8 * y); };
    TBox box = {kFar, kFar, -kFar, -kFar};
    areas.emplace_back();
    for (std::int64_t k = 0; k < parts; ++k) {
      const std::int64_t from = shp.LE32(at + 52 + 4 * k);
      const std::int64_t to = k + 1 < parts ? shp.LE32(at + 56 + 4 * k) : points;
      double twice = 0;
      for (std::int64_t v = from; v < to; ++v) {
        box = Widen(box, {c(v, 0), c(v, 1), c(v, 0), c(v, 1)});
        if (v + 1 < to)
          twice += (c(v, 0) - c(from, 0)) * (c(v + 1, 1) - c(from, 1)) -
                   (c(v + 1, 0) - c(from, 0)) * (c(v, 1) - c(from, 1));
      }
      EXPECT_TRUE(c(from, 0) == c(to - 1, 0) && c(from, 1) == c(to - 1, 1)) << i;  // closed
      areas.back().push_back(twice);
    }
    EXPECT_EQ(shp.Box(at + 12), box) << i;
    layer = Widen(layer, box);
    at += 8 + 2 * content;
  }
  EXPECT_EQ(at, std::ssize(shp.Bytes));
  EXPECT_EQ(shp.Box(36), layer);
  return areas;
}

struct TFieldSpec {
  std::string Name;
  char Type, Length, Decimals;
};
// A .dbf file of these fields and records, dated the recording platform's 6 December 2026.
std::string Table(const std::vector<TFieldSpec>& fields, const std::vector<std::string>& records) {
  std::string t{3, 126, 12, 6, char(records.size()), 0, 0, 0, char(32 * fields.size() + 33), 0,
                char(records[0].size()), 0};
  t.resize(32, '\0');
  for (const TFieldSpec& f : fields)
    t += f.Name + std::string(11 - f.Name.size(), '\0') + f.Type + std::string(4, '\0') +
         f.Length + f.Decimals + std::string(14, '\0');
  t += '\r';
  for (const std::string& r : records) t += r;
  return t + '\x1a';
}

// Text right-aligned in a field of the given width, as dBase numbers stand.
std::string Field(const std::string& text, std::size_t width) {
  return std::string(width - text.size(), ' ') + text;
}

// A polygon whose outer ring is a square of side s at (x, y): counter-clockwise along Next, or
// clockwise for the cycle of a hole.
TPolygonId AddSquare(T2DPolygonMesh& m, double x, double y, double s, double area,
                     bool wooded = true, bool ccw = true) {
  const TPolygonId p = m.AddPolygon();
  const TEdgeId first = ccw ? m.StartRing(p, x, y, x + s, y) : m.StartRing(p, x, y, x, y + s);
  m.InsertPointAfter(m.InsertPointAfter(first, x + s, y + s), ccw ? x : x + s, ccw ? y + s : y);
  m[p].Area = area;
  m[p].IsWooded = wooded;
  return p;
}

// The hole's cycle is built on a helper polygon and moved to a ring of its own, much as the row
// pass hands a closed hole over.
TRingId AddSquareHole(T2DPolygonMesh& m, TPolygonId p, double x, double y, double s) {
  const TEdgeId first = m.FirstEdge(AddSquare(m, x, y, s, 0, false, false));
  const TRingId hole = m.CreateRing();
  EXPECT_EQ(m.RebuildRingFrom(hole, first, 100), 4);
  m[hole].FirstEdge = first;
  m.AddInnerRing(p, hole);
  m.DeletePolygon(m.PolygonCount() - 1);
  return hole;
}

TEST(WrittenPair, holdsTheFormatsHeadersIndexRecordsAndTablesWithoutRingsItCannotTrust) {
  test::RecordingPlatform platform;
  test::TTempDir dir;
  T2DPolygonMesh mesh;
  const TPolygonId p = AddSquare(mesh, 2600000, 1200000, 10, 92);
  AddSquareHole(mesh, p, 2600001, 1200001, 2);
  AddSquareHole(mesh, p, 2600005, 1200005, 3);
  // Rings whose walk cannot be trusted: their polygons are left out, nothing of them reaches the
  // layer's box, and the records after them are numbered without gaps.
  mesh.SetOuterEdgeCount(AddSquare(mesh, 10, 0, 1, 1), 8);        // round twice
  mesh.SetOuterEdgeCount(AddSquare(mesh, 20, 0, 1, 1), 3);        // not back after 3
  mesh.SetOuterEdgeCount(AddSquare(mesh, 30, 0, 1, 1), 1 << 30);  // more than the mesh has
  mesh.Link(mesh[mesh.FirstEdge(AddSquare(mesh, 40, 0, 1, 1))].Next, TEdgeId{});  // a nil link
  mesh.StartRing(mesh.AddPolygon(), 50, 0, 51, 0);  // two corners, not yet a ring
  mesh[AddSquareHole(mesh, AddSquare(mesh, 60, 0, 9, 1), 61, 1, 2)].EdgeCount = 6;
  mesh.SetFirstEdge(AddSquare(mesh, 80, 0, 1, 1), TEdgeId{});
  // Prev no longer mirrors Next: an edge of another ring now claims to precede one of its edges.
  const TEdgeId crossed = mesh[mesh.FirstEdge(AddSquare(mesh, 90, 0, 1, 1))].Next;
  mesh.Link(mesh.FirstEdge(AddSquare(mesh, 95, 0, 1, 1)), crossed);
  AddSquare(mesh, 2600020, 1199990, 3, 9, false);
  T2DPolygons crowns;
  crowns.HasHeights = true;
  crowns.Add({2600000, 1200000, 5, 12.5, 36, true});
  crowns.Add({2600100.5, 1200050, 3, 2.0, 36, false});
  const std::string w1 = dir.File("p_w1"), w2 = dir.File("p_w2");
  const auto written = SaveLayerPair(mesh, w1 + ".shp", crowns, w2 + ".shp");
  EXPECT_TRUE(written.Wooded.Written && written.Crowns.Written && platform.messages.empty());
  EXPECT_TRUE(written.Wooded.LeftOut == 9 && written.Crowns.LeftOut == 0);

  // Outer rings clockwise, holes counter-clockwise; circles of 36 points clockwise from due east.
  EXPECT_EQ(CheckShapes({test::ReadFile(w1 + ".shp")}, {test::ReadFile(w1 + ".shx")}),
            (TAreas{{-200, 8, 18}, {-18}}));
  const TFile shp{test::ReadFile(w2 + ".shp")};
  const TAreas circles = CheckShapes(shp, {test::ReadFile(w2 + ".shx")});
  EXPECT_TRUE(circles.size() == 2 && circles[0][0] < 0 && circles[1][0] < 0);
  EXPECT_EQ(shp.BE32(104), 22 + 2 + 8 * 37);
  EXPECT_TRUE(shp.Double(156) == 2600005.0 && shp.Double(164) == 1200000.0);
  const std::vector<TFieldSpec> fields = {{"id", 'N', 10, 0}, {"boise", 'L', 1, 0},
                                          {"Surface", 'N', 16, 0}, {"Hauteur", 'N', 16, 2}};
  EXPECT_EQ(test::ReadFile(w1 + ".dbf"),
            Table({fields.begin(), fields.end() - 1},
                  {" " + Field("1", 10) + "T" + Field("92", 16),
                   " " + Field("2", 10) + "F" + Field("9", 16)}));
  EXPECT_EQ(test::ReadFile(w2 + ".dbf"),
            Table(fields, {" " + Field("1", 10) + "T" + Field("79", 16) + Field("12.50", 16),
                           " " + Field("2", 10) + "F" + Field("28", 16) + Field("2.00", 16)}));

  if (std::system("command -v ogrinfo >/dev/null 2>&1") != 0) GTEST_SKIP() << "ogrinfo missing";
  for (const std::string& layer : {w1, w2}) {
    const std::string out = dir.File("out"), err = dir.File("err");
    const std::string command = "ogrinfo -ro -al '" + layer + ".shp' >'" + out + "' 2>'" + err;
    EXPECT_EQ(std::system((command + "'").c_str()), 0);
    EXPECT_EQ(test::ReadFile(err), "");
    // The .prj gives the national grid.
    EXPECT_NE(test::ReadFile(out).find("ID[\"EPSG\",21781]]"), std::string::npos);
  }
}

TEST(DBaseNumber, isRightAlignedRoundedLikePrintfOrAsterisksWhenItDoesNotFit) {
  for (const auto& [v, decimals] : {std::pair{1e16, 0}, {1e13, 2}, {NAN, 0}, {-INFINITY, 0}})
    EXPECT_EQ(FormatDBaseFixed(v, 16, decimals), std::string(16, '*')) << v;
  // Ties of the exact binary value go to even, as printf does; 0.125 is exact, 2.675 is not.
  // std::to_chars never looks at the locale, so "." holds whatever the user's settings.
  for (const double v : {0.5, 1.5, 2.5, 3.5, 1e12 + 0.5, 0.125, 2.675, 1234567.005, -0.4}) {
    for (const int decimals : {0, 2}) {
      char expected[64];
      std::snprintf(expected, sizeof expected, "%*.*f", 16, decimals, v);
      EXPECT_EQ(FormatDBaseFixed(v, 16, decimals), expected) << v;
    }
  }
}

}  // namespace
}  // namespace qv
