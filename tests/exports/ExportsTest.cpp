#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "Program.h"
#include "exports/LayerCheck.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

using TQuelvaris = std::int32_t (*)(std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                                    const char*);
using TDeleteTempFiles = std::int32_t (*)(const char*);

// The library as a host loads it: by path, its two functions looked up by name.
class Exports : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    handle_ = ::dlopen(QV_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle_, nullptr) << ::dlerror();
    quelvaris_ = reinterpret_cast<TQuelvaris>(::dlsym(handle_, "quelvaris"));
    deleteTempFiles_ = reinterpret_cast<TDeleteTempFiles>(::dlsym(handle_, "delete_temp_files"));
  }
  static void TearDownTestSuite() {
    if (handle_ != nullptr) ::dlclose(handle_);
    handle_ = nullptr;
  }
  void SetUp() override {
    ASSERT_NE(quelvaris_, nullptr);
    ASSERT_NE(deleteTempFiles_, nullptr);
  }

  static void Touch(const std::string& path) { std::ofstream(path, std::ios::binary) << "x"; }

  static inline void* handle_ = nullptr;
  static inline TQuelvaris quelvaris_ = nullptr;
  static inline TDeleteTempFiles deleteTempFiles_ = nullptr;
  test::TTestProject project;
};

TEST(ExportTable, holdsExactlyTheTwoFunctions) {
  const auto nm = test::RunProgram("/usr/bin/nm", {"-D", "--defined-only", QV_LIBRARY_PATH},
                                   fs::temp_directory_path().string());
  ASSERT_EQ(nm.Exit, 0) << nm.Err;
  std::set<std::string> names;
  std::istringstream lines(nm.Out);
  std::string address, kind, name;
  while (lines >> address >> kind >> name) {
    EXPECT_EQ(kind, "T") << name;
    names.insert(name);
  }
  EXPECT_EQ(names, (std::set<std::string>{"delete_temp_files", "quelvaris"}));
}

TEST_F(Exports, deleteTempFilesCountsWhatItDeletedAndLeavesTheLayersAlone) {
  const fs::path previous = fs::current_path();
  fs::current_path(project.Dir());
  for (const char* name : {"work_comb.shp", "work_merg.sbx", "work_w1.shp", "_comb.dbf"})
    Touch(name);
  EXPECT_EQ(deleteTempFiles_("work.shp"), 2);
  EXPECT_EQ(deleteTempFiles_("work.shp"), 0);
  EXPECT_TRUE(fs::exists("work_w1.shp"));
  EXPECT_EQ(deleteTempFiles_(nullptr), 1);  // the empty path
  fs::current_path(previous);
}

TEST_F(Exports, quelvarisComputesBothLayersOfTheExtent) {
  // Two tiles side by side, each file holding only a window of its tile.
  project.WriteTiles(test::ProjectTile, 2, 1);
  test::TExtent extent = test::WindowExtent(test::ProjectTile, test::ProjectWindow);
  extent.XMax += 4375;
  const std::string path = project.Shapefile();
  EXPECT_EQ(quelvaris_(extent.XMin, extent.XMax, extent.YMin, extent.YMax, path.c_str()), 1);

  // Wooded polygons are made of whole pixels inside the data; crowns reach a few metres out.
  test::TExtent west = test::WindowExtent(test::ProjectTile, test::ProjectWindow);
  west.XMax = extent.XMax;
  const auto wooded = test::CheckLayer(project.Layer("_w1.shp"), false, west, 0.5);
  EXPECT_GT(wooded.Records, 0);
  EXPECT_GE(wooded.MinSurface, 200);
  const auto crowns = test::CheckLayer(project.Layer("_w2.shp"), true, west, 10.0);
  EXPECT_GT(crowns.Records, wooded.Records);
  EXPECT_GE(crowns.MinHeight, 2.0);
  EXPECT_EQ(crowns.VerticesOfFirst, 37);
  EXPECT_NE(project.ReadSettings().find("[Files]"), std::string::npos);
}

}  // namespace
}  // namespace qv
