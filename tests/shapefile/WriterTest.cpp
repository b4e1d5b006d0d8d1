// What a write refuses, leaves out and removes, and what it tells the user.
#include <gtest/gtest.h>

#include "RecordingPlatform.h"
#include "ShapeTestSupport.h"
#include "dialog/languages/Languages.h"
#include "geometry/Polygons.h"
#include "platform/Format.h"
#include "shapefile/CrownRecords.h"
#include "shapefile/SaveToShapefile.h"

namespace qv {
namespace {

using test::Entries;
using Kind = test::TRecordedMessage::Kind;
using TNames = std::vector<std::string>;

class Writer : public ::testing::Test {
 protected:
  void SetUp() override { SetLanguage(LanguageEnglish); }
  test::RecordingPlatform platform;
  test::TTempDir dir;
};

TEST_F(Writer, layerWithoutPolygonsOrWithoutASoundOneKeepsTheEarlierFiles) {
  T2DPolygonMesh mesh;
  test::AddSquarePolygon(mesh, 0, 0, 1, 1);
  T2DPolygons empty, broken;
  broken.Add({0, 0, 0, 1, 36, true});  // no radius: no points
  test::WriteText(dir.File("p_w2.shp"), "earlier");
  // A layer that cannot be written refuses the pair before any file; an empty one is not
  // written, and the other layer is.
  for (const bool none : {false, true}) {
    const auto r = SaveLayerPair(mesh, dir.File("p_w1.shp"), none ? empty : broken, dir.File("p_w2.shp"));
    EXPECT_TRUE(r.Wooded.Written == none && !r.Crowns.Written && r.Crowns.LeftOut == (none ? 0 : 1));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, none ? Msg(msgNoPolygons) : Msg(msgShapefileWriteError) + dir.File("p_w2.shp"));
    EXPECT_EQ(platform.messages[0].kind, none ? Kind::Plain : Kind::Error);
    EXPECT_EQ(test::ReadFile(dir.File("p_w2.shp")), "earlier");
    EXPECT_EQ(Entries(dir).size(), none ? 5u : 1u);
    platform.Clear();
  }
}

TEST_F(Writer, ringsThatCannotBeTrustedAreLeftOutAndTheRestNumberedWithoutGaps) {
  T2DPolygonMesh mesh;
  test::AddSquarePolygon(mesh, 0, 0, 1, 1);  // sound
  mesh.SetOuterEdgeCount(test::AddSquarePolygon(mesh, 10, 0, 1, 1), 5);  // the cycle closes after 4
  mesh.SetOuterEdgeCount(test::AddSquarePolygon(mesh, 20, 0, 1, 1), 3);  // not back after 3
  mesh.SetOuterEdgeCount(test::AddSquarePolygon(mesh, 30, 0, 1, 1), 1 << 30);  // more than there are
  const TPolygonId open = test::AddSquarePolygon(mesh, 40, 0, 1, 1);
  mesh.Link(mesh[mesh.FirstEdge(open)].Next, TEdgeId{});  // a nil link
  mesh.StartRing(mesh.AddPolygon(), 50, 0, 51, 0);  // two corners, not yet a ring
  mesh[test::AddSquareHole(mesh, test::AddSquarePolygon(mesh, 60, 0, 10, 96), 61, 1, 2)].EdgeCount = 6;
  mesh.SetFirstEdge(test::AddSquarePolygon(mesh, 80, 0, 1, 1), TEdgeId{});
  // Prev no longer mirrors Next: an edge of another ring now claims to precede one of its edges.
  const TPolygonId crossed = test::AddSquarePolygon(mesh, 90, 0, 1, 1);
  mesh.Link(mesh.FirstEdge(test::AddSquarePolygon(mesh, 95, 0, 1, 1)), mesh[mesh.FirstEdge(crossed)].Next);
  test::AddSquarePolygon(mesh, 100, 0, 2, 4);  // sound

  const auto result = SaveToShapefile(mesh, dir.File("x_w1.shp"));
  EXPECT_TRUE(result.Written && platform.messages.empty());
  EXPECT_EQ(result.LeftOut, 9);
  const std::string shp = test::ReadFile(dir.File("x_w1.shp")), shx = test::ReadFile(dir.File("x_w1.shx"));
  ASSERT_EQ(shx.size(), 116u);
  EXPECT_EQ(test::LEDouble(shp, 2 * test::BE32(shx, 108) + 12), 100.0);
  EXPECT_EQ(test::DbfRecord(test::ReadFile(dir.File("x_w1.dbf")), 1), " " + test::Field("2", 10) + "T" + test::Field("4", 16));
}

// A crown list whose last circle comes out otherwise in the writer's second walk than in its first.
class TChangingSource final : public TRecordSource {
 public:
  TChangingSource(const T2DPolygons& list, bool moveBox) : inner_(list), moveBox_(moveBox) {}
  std::int64_t Count() const override { return inner_.Count(); }
  bool HasHeights() const override { return false; }
  bool Shape(std::int64_t i, TRecordShape& shape) const override {
    if (!inner_.Shape(i, shape)) return false;
    if (i + 1 == Count() && ++lastSeen_ == 2 && moveBox_) shape.Box.SetBounds(0, 1e6, 1e6, 0);
    if (i + 1 == Count() && lastSeen_ == 2 && !moveBox_) shape.Points.push_back(shape.Points.front());
    return true;
  }
  TRecordAttributes Attributes(std::int64_t i) const override { return inner_.Attributes(i); }

 private:
  TCrownRecords inner_;
  bool moveBox_;
  mutable int lastSeen_ = 0;
};

TEST_F(Writer, sourceThatChangesBetweenMeasuringAndWritingIsNotWritten) {
  T2DPolygons list;
  list.Add({0, 0, 1, 0, 8, true});
  list.Add({10, 0, 1, 0, 8, true});
  for (const bool moveBox : {false, true}) {
    EXPECT_FALSE(TShapeFile().Write(TChangingSource(list, moveBox), dir.File("c_w2.shp")).Written);
    EXPECT_TRUE(Entries(dir).empty()) << moveBox;
  }
  EXPECT_EQ(platform.messages.size(), 2u);
}

TEST_F(Writer, spatialIndexesGoWithASuccessfulWriteOnly) {
  for (const char* name : {"p_w1.sbn", "p_w1.sbx", "p.sbn"}) test::WriteText(dir.File(name), "x");
  T2DPolygonMesh mesh;
  test::AddSquarePolygon(mesh, 0, 0, 1, 1);
  const std::string missing = dir.File("missing/p_w1.shp");
  EXPECT_FALSE(SaveToShapefile(mesh, missing).Written);
  EXPECT_EQ(platform.Texts(), TNames{Msg(msgShapefileWriteError) + missing});
  EXPECT_EQ(Entries(dir), (TNames{"p.sbn", "p_w1.sbn", "p_w1.sbx"}));
  ASSERT_TRUE(SaveToShapefile(mesh, dir.File("p_w1.shp")).Written);
  EXPECT_EQ(Entries(dir), (TNames{"p.sbn", "p_w1.dbf", "p_w1.prj", "p_w1.shp", "p_w1.shx"}));
}

// The refusal walks records of a million points each; left to the normal build.
class LongWriter : public Writer {};

TEST_F(LongWriter, layerBeyondTheFormatsWordLimitIsRefusedBeforeAnyFileIsCreated) {
  T2DPolygons huge;
  for (int i = 0; i < 256; ++i) huge.Add({0, 0, 100, 0, 1 << 20, true});  // 2^31 words in all
  const std::string path = dir.File("big_w2.shp");
  EXPECT_FALSE(SaveToShapefile(huge, path).Written);
  EXPECT_EQ(platform.Texts(), TNames{Format(Msg(msgLayerTooLarge), {std::string_view(path)})});
  EXPECT_TRUE(Entries(dir).empty());
}

}  // namespace
}  // namespace qv
