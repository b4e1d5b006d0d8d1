#include <gtest/gtest.h>

#include <filesystem>

#include "RecordingPlatform.h"
#include "ShapeTestSupport.h"
#include "shapefile/TempFiles.h"

namespace qv {
namespace {

const char* const TempSuffixes[] = {"_comb.shp", "_comb.dbf", "_comb.shx", "_comb.sbx", "_comb.sbn",
                                    "_merg.shp", "_merg.dbf", "_merg.shx", "_merg.sbx", "_merg.sbn"};
const char* const KeptNames[] = {"parcels.shp", "parcels.dbf", "parcels.shx", "parcels_w1.shp",
                                 "parcels_w1.dbf", "parcels_w2.shx", "parcels_comb.prj",
                                 "parcels_comb.shp.xml"};

class TempFiles : public ::testing::Test {
 protected:
  void CreateTemporaries(const std::string& base) {
    for (const char* s : TempSuffixes) test::WriteText(dir / (base + s), "t");
  }
  void CreateKept() {
    for (const char* n : KeptNames) test::WriteText(dir / n, "k");
  }
  std::vector<std::string> Kept() const {
    std::vector<std::string> names(std::begin(KeptNames), std::end(KeptNames));
    std::sort(names.begin(), names.end());
    return names;
  }

  test::RecordingPlatform platform;
  test::ScratchDir dir;
};

TEST_F(TempFiles, deletesTheTenTemporariesAndCountsThem) {
  CreateKept();
  const auto path = dir / "parcels.shp";
  EXPECT_EQ(DeleteTempFiles(path.c_str()), 0);
  CreateTemporaries("parcels");
  EXPECT_EQ(DeleteTempFiles(path.c_str()), 10);
  EXPECT_EQ(dir.Entries(), Kept());
  EXPECT_EQ(DeleteTempFiles(path.c_str()), 0);
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(TempFiles, pathWithoutExtensionGetsTheSuffixesAppended) {
  CreateTemporaries("parcels");
  EXPECT_EQ(DeleteTempFiles((dir / "parcels").c_str()), 10);
  CreateTemporaries("data.old");  // a dot in the name of the base is an extension
  EXPECT_EQ(DeleteTempFiles((dir / "data.old").c_str()), 0);
  EXPECT_EQ(DeleteTempFiles((dir / "data.x").c_str()), 0);
  EXPECT_EQ(DeleteTempFiles((dir / "data.old.shp").c_str()), 10);
  EXPECT_TRUE(dir.Entries().empty());
}

TEST_F(TempFiles, fileThatCannotBeDeletedIsSkippedAndTheOthersStillGo) {
  CreateTemporaries("p");
  std::filesystem::remove(dir / "p_merg.dbf");
  std::filesystem::create_directory(dir / "p_merg.dbf");  // not a file: never removed
  platform.allowWrite = [&](const std::string& p) { return p != dir / "p_comb.shx"; };
  EXPECT_EQ(DeleteTempFiles((dir / "p.shp").c_str()), 8);
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"p_comb.shx", "p_merg.dbf"}));
}

TEST_F(TempFiles, nullOrEmptyPathLooksForTheBareSuffixesInTheCurrentDirectory) {
  const auto previousDir = std::filesystem::current_path();
  std::filesystem::current_path(dir.Path());
  CreateTemporaries("");
  test::WriteText(dir / "x_comb.shp", "k");
  EXPECT_EQ(DeleteTempFiles(nullptr), 10);
  CreateTemporaries("");
  EXPECT_EQ(DeleteTempFiles(""), 10);
  std::filesystem::current_path(previousDir);
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"x_comb.shp"});
}

}  // namespace
}  // namespace qv
