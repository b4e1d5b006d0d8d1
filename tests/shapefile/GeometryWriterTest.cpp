// The two writing operations on real containers of the geometry model.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "MeshBuilder.h"
#include "RecordingPlatform.h"
#include "ShapeTestSupport.h"
#include "dialog/languages/Languages.h"
#include "shapefile/SaveToShapefile.h"

namespace qv {
namespace {

using test::BE32;
using test::LE32;
using test::LEDouble;
using test::ReadBytes;
using test::TwiceSignedArea;
using Kind = test::TRecordedMessage::Kind;

class GeometryWriter : public ::testing::Test {
 protected:
  void SetUp() override { SetLanguage(LanguageEnglish); }
  test::RecordingPlatform platform;
  test::ScratchDir dir;
};

TEST_F(GeometryWriter, circleListGivesTheDocumentedBytes) {
  T2DPolygons list;
  list.HasHeights = true;
  test::AddCircle(list, 2600000, 1200000, 5, 36, 12.5);
  const auto path = dir / "x_w2.shp";
  const auto result = SaveToShapefile(list, path);
  ASSERT_TRUE(result.Written);
  EXPECT_EQ(result.LeftOut, 0);
  const auto shp = ReadBytes(path);
  ASSERT_EQ(shp.size(), 748u);
  EXPECT_EQ(BE32(shp, 24), 374);
  EXPECT_EQ(BE32(shp, 104), 320);
  EXPECT_EQ(LE32(shp, 144), 1);   // NumParts
  EXPECT_EQ(LE32(shp, 148), 37);  // NumPoints
  EXPECT_EQ(LE32(shp, 152), 0);   // the part starts at 0
  const std::size_t points = 156;
  EXPECT_EQ(LEDouble(shp, points), 2600005.0);
  EXPECT_EQ(LEDouble(shp, points + 8), 1200000.0);
  // Bit for bit the points of the polygon CreateCircle makes, from First along Prior:
  // clockwise, and closed on First.
  const T2DPolygon0 c = list.Item(0);
  for (int k = 0, p = c.First(); k <= 36; ++k, p = c.Prior(p)) {
    EXPECT_EQ(LEDouble(shp, points + 16 * k), c.Point(p).X) << k;
    EXPECT_EQ(LEDouble(shp, points + 16 * k + 8), c.Point(p).Y) << k;
  }
  const auto shx = ReadBytes(dir / "x_w2.shx");
  ASSERT_EQ(shx.size(), 108u);
  EXPECT_EQ(BE32(shx, 100), 50);
  EXPECT_EQ(BE32(shx, 104), 320);
  EXPECT_EQ(BE32(shx, 24), 54);
  // Apart from the length, the index header is the main file's.
  EXPECT_EQ((std::vector<std::uint8_t>(shx.begin() + 28, shx.begin() + 100)),
            (std::vector<std::uint8_t>(shp.begin() + 28, shp.begin() + 100)));
  const auto dbf = ReadBytes(dir / "x_w2.dbf");
  ASSERT_EQ(dbf.size(), 206u);
  EXPECT_EQ(dbf[1], 126);  // the recording platform's date is in 2026
  EXPECT_EQ(dbf[205], 0x1A);
  EXPECT_EQ(std::string(dbf.begin() + 161, dbf.begin() + 205),
            std::string(10, ' ') + "1T" + std::string(14, ' ') + "79" + std::string(11, ' ') +
                "12.50");
}

TEST_F(GeometryWriter, polygonWithTwoHolesHasOuterClockwiseAndHolesCounterClockwise) {
  T2DPolygonMesh mesh;
  const TPolygonId p = test::AddSquarePolygon(mesh, 2600000, 1200000, 10, 92);
  test::AddSquareHole(mesh, p, 2600001, 1200001, 2);
  test::AddSquareHole(mesh, p, 2600005, 1200005, 2);
  test::AddSquarePolygon(mesh, 2600020, 1200000, 3, 9, false);
  const auto path = dir / "x_w1.shp";
  ASSERT_TRUE(SaveToShapefile(mesh, path).Written);

  const auto shp = ReadBytes(path);
  EXPECT_EQ(BE32(shp, 104), 148);
  EXPECT_EQ(BE32(shp, 24), 50 + (4 + 148) + (4 + 22 + 2 + 8 * 5));
  auto h = test::OpenShp(path);
  ASSERT_TRUE(h);
  test::ShpObject o(SHPReadObject(h.get(), 0));
  ASSERT_TRUE(o);
  ASSERT_EQ(o->nParts, 3);
  ASSERT_EQ(o->nVertices, 15);
  EXPECT_EQ(std::vector<int>(o->panPartStart, o->panPartStart + 3), (std::vector<int>{0, 5, 10}));
  EXPECT_EQ(TwiceSignedArea(*o, 0, 5), -200.0);
  EXPECT_EQ(TwiceSignedArea(*o, 5, 10), 8.0);
  EXPECT_EQ(TwiceSignedArea(*o, 10, 15), 8.0);
  for (int part : {0, 5, 10}) {
    EXPECT_EQ(o->padfX[part], o->padfX[part + 4]);
    EXPECT_EQ(o->padfY[part], o->padfY[part + 4]);
  }
  EXPECT_EQ(o->dfXMin, 2600000.0);
  EXPECT_EQ(o->dfYMax, 1200010.0);
  auto dbf = test::OpenDbf(path);
  ASSERT_EQ(DBFGetFieldCount(dbf.get()), 3);
  EXPECT_EQ(DBFReadIntegerAttribute(dbf.get(), 0, 2), 92);
  EXPECT_STREQ(DBFReadLogicalAttribute(dbf.get(), 0, 1), "T");
  EXPECT_STREQ(DBFReadLogicalAttribute(dbf.get(), 1, 1), "F");
  EXPECT_EQ(DBFReadIntegerAttribute(dbf.get(), 1, 0), 2);
}

TEST_F(GeometryWriter, ringsThatCannotBeTrustedAreLeftOutAndCounted) {
  T2DPolygonMesh mesh;
  test::AddSquarePolygon(mesh, 0, 0, 1, 1);  // sound
  const TPolygonId tooLong = test::AddSquarePolygon(mesh, 10, 0, 1, 1);
  mesh.SetOuterEdgeCount(tooLong, 5);  // the cycle closes after 4
  const TPolygonId tooShort = test::AddSquarePolygon(mesh, 20, 0, 1, 1);
  mesh.SetOuterEdgeCount(tooShort, 3);  // not back at FirstEdge after 3
  const TPolygonId huge = test::AddSquarePolygon(mesh, 30, 0, 1, 1);
  mesh.SetOuterEdgeCount(huge, 1 << 30);  // more than the mesh has edges
  const TPolygonId open = test::AddSquarePolygon(mesh, 40, 0, 1, 1);
  mesh.Link(mesh[mesh.FirstEdge(open)].Next, TEdgeId{});  // a nil link
  const TPolygonId segment = mesh.AddPolygon();
  mesh.StartRing(segment, 50, 0, 51, 0);  // two corners, not yet a ring
  const TPolygonId brokenHole = test::AddSquarePolygon(mesh, 60, 0, 10, 96);
  const TRingId hole = test::AddSquareHole(mesh, brokenHole, 61, 1, 2);
  mesh[hole].EdgeCount = 6;
  const TPolygonId noFirstEdge = test::AddSquarePolygon(mesh, 80, 0, 1, 1);
  mesh.SetFirstEdge(noFirstEdge, TEdgeId{});
  // Prev no longer mirrors Next: an edge of another ring now claims to precede one of its edges.
  const TPolygonId crossed = test::AddSquarePolygon(mesh, 90, 0, 1, 1);
  const TPolygonId donor = test::AddSquarePolygon(mesh, 95, 0, 1, 1);
  mesh.Link(mesh.FirstEdge(donor), mesh[mesh.FirstEdge(crossed)].Next);
  test::AddSquarePolygon(mesh, 100, 0, 2, 4);  // sound

  const auto path = dir / "x_w1.shp";
  const auto result = SaveToShapefile(mesh, path);
  EXPECT_TRUE(result.Written);
  EXPECT_EQ(result.LeftOut, 9);
  EXPECT_TRUE(platform.messages.empty());
  auto h = test::OpenShp(path);
  int count = 0;
  SHPGetInfo(h.get(), &count, nullptr, nullptr, nullptr);
  ASSERT_EQ(count, 2);
  test::ShpObject last(SHPReadObject(h.get(), 1));
  EXPECT_EQ(last->dfXMin, 100.0);
  auto dbf = test::OpenDbf(path);
  EXPECT_EQ(DBFReadIntegerAttribute(dbf.get(), 1, 0), 2);
  EXPECT_EQ(DBFReadIntegerAttribute(dbf.get(), 1, 2), 4);
}

TEST_F(GeometryWriter, circleWithoutPointsIsLeftOut) {
  T2DPolygons list;
  test::AddCircle(list, 0, 0, 0, 36, 1);  // no radius: no points
  test::AddCircle(list, 10, 0, 2, 8, 3);
  const auto path = dir / "x_w2.shp";
  const auto result = SaveToShapefile(list, path);
  EXPECT_TRUE(result.Written);
  EXPECT_EQ(result.LeftOut, 1);
  auto dbf = test::OpenDbf(path);
  ASSERT_EQ(DBFGetFieldCount(dbf.get()), 3);  // no heights in this list
  ASSERT_EQ(DBFGetRecordCount(dbf.get()), 1);
  EXPECT_EQ(DBFReadIntegerAttribute(dbf.get(), 0, 0), 1);
  EXPECT_EQ(DBFReadIntegerAttribute(dbf.get(), 0, 2), 13);  // 4 pi
}

TEST_F(GeometryWriter, emptyContainersShowTheMessageOnceEach) {
  T2DPolygonMesh mesh;
  T2DPolygons list;
  EXPECT_FALSE(SaveToShapefile(mesh, dir / "x_w1.shp").Written);
  EXPECT_FALSE(SaveToShapefile(list, dir / "x_w2.shp").Written);
  ASSERT_EQ(platform.messages.size(), 2u);
  for (const auto& m : platform.messages) {
    EXPECT_EQ(m.kind, Kind::Plain);
    EXPECT_EQ(m.text, "There are no polygons: Shapefile not written.");
  }
  EXPECT_TRUE(dir.Entries().empty());
}

}  // namespace
}  // namespace qv
