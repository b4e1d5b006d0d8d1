// A write that fails must leave the previous layer as it was, tell the user, and leave no
// temporary file behind. Tests run as root, so failures are made by the file system's shape, a
// file-size limit, or the platform layer.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>

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

class WriteFailure : public ::testing::Test {
 protected:
  void SetUp() override {
    SetLanguage(LanguageEnglish);
    small.heights = true;
    small.AddCircle(2600000, 1200000, 5, 36, 12.5);
    large.heights = true;
    for (int i = 0; i < 60; ++i) large.AddCircle(2600000 + 10 * i, 1200000, 4, 36, 10);
  }

  TShapeWriteResult Write(const TRecordSource& source, const std::string& path) {
    return TShapeFile().Write(source, path);
  }

  // Writes the previous run's layer and remembers its bytes.
  void WritePrevious() {
    ASSERT_TRUE(Write(small, dir / "p_w2.shp").Written);
    for (const char* ext : {".shp", ".shx", ".dbf"}) previous.push_back(ReadBytes(dir / ("p_w2" + std::string(ext))));
    platform.Clear();
  }

  void ExpectPreviousIntact() {
    const char* exts[] = {".shp", ".shx", ".dbf"};
    for (std::size_t i = 0; i < 3; ++i)
      EXPECT_EQ(ReadBytes(dir / ("p_w2" + std::string(exts[i]))), previous[i]) << exts[i];
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"p_w2.dbf", "p_w2.shp", "p_w2.shx"}));
  }

  void ExpectWriteErrorShown(const std::string& path) {
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].kind, Kind::Error);
    EXPECT_EQ(platform.messages[0].text, "Error writing shapefile " + path);
  }

  test::RecordingPlatform platform;
  test::ScratchDir dir;
  FakeSource small, large;
  std::vector<std::vector<std::uint8_t>> previous;
};

TEST_F(WriteFailure, missingTargetDirectoryIsReportedAndCreatesNothing) {
  const auto path = (dir / "missing") + "/p_w2.shp";
  EXPECT_FALSE(Write(small, path).Written);
  ExpectWriteErrorShown(path);
  EXPECT_TRUE(dir.Entries().empty());
}

TEST_F(WriteFailure, targetThatIsADirectoryKeepsTheOtherFilesOfTheLayer) {
  WritePrevious();
  std::filesystem::remove(dir / "p_w2.shp");
  std::filesystem::create_directory(dir / "p_w2.shp");
  EXPECT_FALSE(Write(large, dir / "p_w2.shp").Written);
  ExpectWriteErrorShown(dir / "p_w2.shp");
  EXPECT_TRUE(std::filesystem::is_directory(dir / "p_w2.shp"));
  EXPECT_EQ(ReadBytes(dir / "p_w2.shx"), previous[1]);
  EXPECT_EQ(ReadBytes(dir / "p_w2.dbf"), previous[2]);
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"p_w2.dbf", "p_w2.shp", "p_w2.shx"}));
}

TEST_F(WriteFailure, renameRefusedHalfWayPutsThePreviousSetBack) {
  WritePrevious();
  // The index file is held by another program the first time it is to be replaced.
  int refusals = 0;
  platform.allowWrite = [&](const std::string& p) {
    if (p == dir / "p_w2.shx" && refusals == 0) {
      ++refusals;
      return false;
    }
    return true;
  };
  test::WriteText(dir / "p_w2.sbn", "index");
  EXPECT_FALSE(Write(large, dir / "p_w2.shp").Written);
  EXPECT_EQ(refusals, 1);
  ExpectWriteErrorShown(dir / "p_w2.shp");
  EXPECT_EQ(ReadBytes(dir / "p_w2.sbn").size(), 5u);
  std::filesystem::remove(dir / "p_w2.sbn");
  ExpectPreviousIntact();
}

TEST_F(WriteFailure, previousFileThatCannotBeMovedAsideStopsTheWrite) {
  WritePrevious();
  platform.allowWrite = [&](const std::string& p) { return p != dir / "p_w2.dbf.qvold"; };
  EXPECT_FALSE(Write(large, dir / "p_w2.shp").Written);
  ExpectWriteErrorShown(dir / "p_w2.shp");
  ExpectPreviousIntact();
}

TEST_F(WriteFailure, fileSizeLimitHitMidwayKeepsThePreviousSet) {
  WritePrevious();
  const auto path = dir / "p_w2.shp";
  // In a child process: the limit and its signal stay there.
  auto writeUnderLimit = [&] {
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    limit.rlim_cur = limit.rlim_max = 4096;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const auto result = Write(large, path);
    const bool told = platform.messages.size() == 1 &&
                      platform.messages[0].text == "Error writing shapefile " + path;
    std::exit(!result.Written && told ? 0 : 1);
  };
  EXPECT_EXIT(writeUnderLimit(), ::testing::ExitedWithCode(0), "");
  ExpectPreviousIntact();
  // Without the limit the same layer is written.
  EXPECT_TRUE(Write(large, path).Written);
  EXPECT_GT(ReadBytes(path).size(), 4096u);
}

}  // namespace
}  // namespace qv
