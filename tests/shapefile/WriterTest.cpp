// Whole sets written through the writer and read back, byte by byte and with shapelib.
#include <gtest/gtest.h>

#include "FakeSource.h"
#include "RecordingPlatform.h"
#include "ShapeTestSupport.h"
#include "dialog/languages/Languages.h"
#include "shapefile/ShapeFile.h"

namespace qv {
namespace {

using test::FakeSource;
using test::ReadBytes;
using Kind = test::TRecordedMessage::Kind;

class Writer : public ::testing::Test {
 protected:
  void SetUp() override { SetLanguage(LanguageEnglish); }

  TShapeWriteResult Write(const TRecordSource& source, const std::string& path) {
    return TShapeFile().Write(source, path);
  }

  test::RecordingPlatform platform;
  test::ScratchDir dir;
};

TEST_F(Writer, shapelibReadsCircleClosedAndClockwiseWithItsAttributes) {
  FakeSource source;
  source.heights = true;
  source.AddCircle(2600000, 1200000, 5, 36, 12.5);
  source.AddCircle(2600100.5, 1200050, 3, 36, 2.0);
  const auto path = dir / "crowns_w2.shp";
  ASSERT_TRUE(Write(source, path).Written);

  auto shp = test::OpenShp(path);
  ASSERT_TRUE(shp);
  int count = 0, type = 0;
  double minB[4], maxB[4];
  SHPGetInfo(shp.get(), &count, &type, minB, maxB);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(type, SHPT_POLYGON);
  EXPECT_DOUBLE_EQ(minB[0], 2599995.0);
  EXPECT_DOUBLE_EQ(maxB[0], 2600103.5);
  EXPECT_DOUBLE_EQ(minB[1], 1199995.0);
  EXPECT_DOUBLE_EQ(maxB[1], 1200053.0);
  for (int i = 0; i < 2; ++i) {
    test::ShpObject o(SHPReadObject(shp.get(), i));
    ASSERT_TRUE(o);
    EXPECT_EQ(o->nParts, 1);
    ASSERT_EQ(o->nVertices, 37);
    EXPECT_EQ(o->padfX[0], o->padfX[36]);
    EXPECT_EQ(o->padfY[0], o->padfY[36]);
    // Easternmost point first, then clockwise.
    EXPECT_LT(test::TwiceSignedArea(*o, 0, 37), 0);
    EXPECT_DOUBLE_EQ(o->padfX[0], o->dfXMax);
  }
  auto dbf = test::OpenDbf(path);
  ASSERT_TRUE(dbf);
  ASSERT_EQ(DBFGetFieldCount(dbf.get()), 4);
  struct Field { const char* name; char type; int width; int decimals; };
  const Field fields[] = {{"id", 'N', 10, 0}, {"boise", 'L', 1, 0}, {"Surface", 'N', 16, 0},
                          {"Hauteur", 'N', 16, 2}};
  for (int f = 0; f < 4; ++f) {
    char name[12];
    int width = 0, decimals = 0;
    DBFGetFieldInfo(dbf.get(), f, name, &width, &decimals);
    EXPECT_STREQ(name, fields[f].name);
    EXPECT_EQ(DBFGetNativeFieldType(dbf.get(), f), fields[f].type);
    EXPECT_EQ(width, fields[f].width);
    EXPECT_EQ(decimals, fields[f].decimals);
  }
  EXPECT_EQ(DBFGetRecordCount(dbf.get()), 2);
  EXPECT_EQ(DBFReadIntegerAttribute(dbf.get(), 1, 0), 2);
  EXPECT_STREQ(DBFReadLogicalAttribute(dbf.get(), 1, 1), "T");
  EXPECT_EQ(DBFReadDoubleAttribute(dbf.get(), 1, 2), 28.0);  // 9 pi rounded
  EXPECT_EQ(DBFReadDoubleAttribute(dbf.get(), 1, 3), 2.0);
}

TEST_F(Writer, emptyLayerShowsTheMessageAndTouchesNoFile) {
  test::WriteText(dir / "old_w1.shp", "previous");
  test::WriteText(dir / "old_w1.sbn", "index");
  FakeSource source;
  const auto result = Write(source, dir / "old_w1.shp");
  EXPECT_FALSE(result.Written);
  EXPECT_EQ(result.LeftOut, 0);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].kind, Kind::Plain);
  EXPECT_EQ(platform.messages[0].text, "There are no polygons: Shapefile not written.");
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"old_w1.sbn", "old_w1.shp"}));
  EXPECT_EQ(ReadBytes(dir / "old_w1.shp").size(), 8u);
}

TEST_F(Writer, brokenRecordIsLeftOutCountedAndTheRestNumberedWithoutGaps) {
  FakeSource source;
  source.AddCircle(0, 0, 1, 8, 0);
  source.AddCircle(10, 0, 1, 8, 0);
  source.AddCircle(20, 0, 1, 8, 0);
  source.records[1].broken = true;
  const auto path = dir / "c_w2.shp";
  const auto result = Write(source, path);
  EXPECT_TRUE(result.Written);
  EXPECT_EQ(result.LeftOut, 1);
  auto h = test::OpenShp(path);
  int count = 0;
  SHPGetInfo(h.get(), &count, nullptr, nullptr, nullptr);
  ASSERT_EQ(count, 2);
  test::ShpObject second(SHPReadObject(h.get(), 1));
  EXPECT_DOUBLE_EQ(second->dfXMin, 19.0);
  auto dbf = test::OpenDbf(path);
  EXPECT_EQ(DBFReadIntegerAttribute(dbf.get(), 1, 0), 2);
}

TEST_F(Writer, layerOfOnlyBrokenRecordsIsAWriteErrorAndKeepsThePreviousFiles) {
  test::WriteText(dir / "c_w2.shp", "previous");
  FakeSource source;
  source.AddCircle(0, 0, 1, 8, 0);
  source.records[0].broken = true;
  const auto result = Write(source, dir / "c_w2.shp");
  EXPECT_FALSE(result.Written);
  EXPECT_EQ(result.LeftOut, 1);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].kind, Kind::Error);
  EXPECT_EQ(platform.messages[0].text, "Error writing shapefile " + (dir / "c_w2.shp"));
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"c_w2.shp"});
}

// A source whose last record comes out otherwise in the writer's second walk than in its first.
class TChangingSource final : public TRecordSource {
 public:
  TChangingSource(const FakeSource& inner, bool moveBox) : inner_(inner), moveBox_(moveBox) {}
  std::int64_t Count() const override { return inner_.Count(); }
  bool HasHeights() const override { return false; }
  bool Shape(std::int64_t i, TRecordShape& shape) const override {
    if (!inner_.Shape(i, shape)) return false;
    if (i + 1 == Count() && ++lastSeen_ == 2) {
      if (moveBox_) shape.Box.SetBounds(0, 1e6, 1e6, 0);
      else shape.Points.push_back(shape.Points.front());
    }
    return true;
  }
  TRecordAttributes Attributes(std::int64_t i) const override { return inner_.Attributes(i); }

 private:
  const FakeSource& inner_;
  bool moveBox_;
  mutable int lastSeen_ = 0;
};

TEST_F(Writer, sourceThatChangesBetweenMeasuringAndWritingIsNotWritten) {
  FakeSource source;
  source.AddCircle(0, 0, 1, 8, 0);
  source.AddCircle(10, 0, 1, 8, 0);
  for (const bool moveBox : {false, true}) {
    const auto path = dir / "c_w2.shp";
    EXPECT_FALSE(Write(TChangingSource(source, moveBox), path).Written) << moveBox;
    EXPECT_TRUE(dir.Entries().empty()) << moveBox;
  }
  EXPECT_EQ(platform.messages.size(), 2u);
}

TEST_F(Writer, spatialIndexCompanionsGoOnlyAfterASuccessfulWrite) {
  const auto path = dir / "parcels_w1.shp";
  test::WriteText(dir / "parcels_w1.sbn", "n");
  test::WriteText(dir / "parcels_w1.sbx", "x");
  test::WriteText(dir / "parcels.sbn", "host's own");
  FakeSource source;
  source.AddCircle(0, 0, 5, 12, 0);
  // A failed write keeps them: the target directory is missing.
  EXPECT_FALSE(Write(source, (dir / "missing") + "/parcels_w1.shp").Written);
  EXPECT_EQ(dir.Entries(),
            (std::vector<std::string>{"parcels.sbn", "parcels_w1.sbn", "parcels_w1.sbx"}));
  ASSERT_TRUE(Write(source, path).Written);
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"parcels.sbn", "parcels_w1.dbf", "parcels_w1.prj",
                                                     "parcels_w1.shp", "parcels_w1.shx"}));
}

TEST_F(Writer, twoWritesDifferOnlyInTheDateBytes) {
  FakeSource source;
  source.heights = true;
  for (int i = 0; i < 50; ++i) source.AddCircle(2600000 + 7.25 * i, 1200000 - 3.5 * i, 2 + 0.1 * i, 36, 3 + 0.37 * i);
  const auto a = dir / "a_w2.shp";
  const auto b = dir / "b_w2.shp";
  ASSERT_TRUE(Write(source, a).Written);
  platform.date = {2027, 3, 9};
  ASSERT_TRUE(Write(source, b).Written);
  EXPECT_EQ(ReadBytes(dir / "a_w2.shp"), ReadBytes(dir / "b_w2.shp"));
  EXPECT_EQ(ReadBytes(dir / "a_w2.shx"), ReadBytes(dir / "b_w2.shx"));
  auto da = ReadBytes(dir / "a_w2.dbf");
  auto db = ReadBytes(dir / "b_w2.dbf");
  ASSERT_EQ(da.size(), db.size());
  EXPECT_EQ((std::vector<int>{db[1], db[2], db[3]}), (std::vector<int>{127, 3, 9}));
  for (std::size_t i = 1; i <= 3; ++i) da[i] = db[i] = 0;
  EXPECT_EQ(da, db);
  // Writing again over the same path replaces the set with the same bytes.
  ASSERT_TRUE(Write(source, b).Written);
  EXPECT_EQ(ReadBytes(dir / "a_w2.shp"), ReadBytes(dir / "b_w2.shp"));
}

// The refusal walks records of a million points each; left to the normal build.
class LongWriter : public Writer {};

TEST_F(LongWriter, setBeyondTheFormatsWordLimitIsRefusedBeforeAnyFileIsCreated) {
  FakeSource source;
  source.AddCircle(0, 0, 100, 1 << 20, 0);
  // 8 million words a record: 256 records pass 2^31 words.
  source.claimedCount = 256;
  const auto result = Write(source, dir / "big_w2.shp");
  EXPECT_FALSE(result.Written);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].kind, Kind::Error);
  EXPECT_NE(platform.messages[0].text.find("4 GB limit"), std::string::npos);
  EXPECT_TRUE(dir.Entries().empty());
}

}  // namespace
}  // namespace qv
