#include <dlfcn.h>
#include <gtest/gtest.h>
#include <shapefil.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "Program.h"
#include "dialog/TestProject.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

using TQuelvaris = std::int32_t (*)(std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                                    const char*);
using TDeleteTempFiles = std::int32_t (*)(const char*);

// The library as a host loads it: by path, its two functions looked up by name.
class Exports : public ::testing::Test {
 protected:
  void SetUp() override {
    handle_ = ::dlopen(QV_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle_, nullptr) << ::dlerror();
    quelvaris_ = reinterpret_cast<TQuelvaris>(::dlsym(handle_, "quelvaris"));
    deleteTempFiles_ = reinterpret_cast<TDeleteTempFiles>(::dlsym(handle_, "delete_temp_files"));
    ASSERT_TRUE(quelvaris_ != nullptr && deleteTempFiles_ != nullptr);
  }
  void TearDown() override {
    if (handle_ != nullptr) ::dlclose(handle_);
  }

  void* handle_ = nullptr;
  TQuelvaris quelvaris_ = nullptr;
  TDeleteTempFiles deleteTempFiles_ = nullptr;
  test::TTestProject project;
};

// Polygon records of a layer as an independent reader (shapelib) sees them: their count and
// the vertices of the first.
std::pair<int, int> ReadLayer(const std::string& path) {
  SHPHandle shp = SHPOpen(path.c_str(), "rb");
  if (shp == nullptr) return {-1, 0};
  int records = 0;
  int type = 0;
  SHPGetInfo(shp, &records, &type, nullptr, nullptr);
  SHPObject* first = records > 0 ? SHPReadObject(shp, 0) : nullptr;
  const int vertices = first != nullptr ? first->nVertices : 0;
  if (first != nullptr) SHPDestroyObject(first);
  SHPClose(shp);
  return {type == SHPT_POLYGON ? records : -1, vertices};
}

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
    std::ofstream(name) << "x";
  EXPECT_EQ(deleteTempFiles_("work.shp"), 2);
  EXPECT_EQ(deleteTempFiles_("work.shp"), 0);
  EXPECT_TRUE(fs::exists("work_w1.shp"));
  EXPECT_EQ(deleteTempFiles_(nullptr), 1);  // the empty path
  fs::current_path(previous);
}

TEST_F(Exports, quelvarisComputesBothLayersOfTheExtent) {
  // Two tiles side by side, each file holding only a window of its tile.
  project.WriteTiles(test::ProjectTile, 2, 1);
  test::TExtent e = test::WindowExtent(test::ProjectTile, test::ProjectWindow);
  e.XMax += 4375;
  EXPECT_EQ(quelvaris_(e.XMin, e.XMax, e.YMin, e.YMax, project.Shapefile().c_str()), 1);
  const auto woods = ReadLayer(project.Layer("_w1.shp"));
  const auto crowns = ReadLayer(project.Layer("_w2.shp"));
  EXPECT_GT(woods.first, 0);
  EXPECT_GT(crowns.first, woods.first);
  EXPECT_EQ(crowns.second, 37);  // the default 36 points and the closing one
  EXPECT_NE(project.ReadSettings().find("[Files]"), std::string::npos);
}

}  // namespace
}  // namespace qv
