// The host's temporary layers named after a path go, and nothing else does. (The null path is
// the exports' to test: it reaches this function through them.)
#include <gtest/gtest.h>

#include <filesystem>

#include "RecordingPlatform.h"
#include "ShapeTestSupport.h"
#include "shapefile/TempFiles.h"

namespace qv {
namespace {

TEST(TempFiles, theTenTemporariesNamedAfterThePathGoAndAreCounted) {
  test::RecordingPlatform platform;
  test::TTempDir dir;
  const auto temporaries = [&](const std::string& base) {
    for (const char* layer : {"_comb", "_merg"})
      for (const char* ext : {".shp", ".dbf", ".shx", ".sbx", ".sbn"}) test::WriteText(dir.File(base + layer + ext), "t");
  };
  std::vector<std::string> kept = {"p.dbf", "p.shp", "p_comb.prj", "p_comb.shp.xml", "p_w1.shp"};
  for (const std::string& name : kept) test::WriteText(dir.File(name), "k");
  // The path's extension gives way to the suffixes; a path without one gets them appended.
  const struct { const char* base; const char* path; int deleted; } cases[] = {
      {"p", "p.shp", 10}, {"p", "p", 10}, {"data.old", "data.old", 0}, {"data.old", "data.old.shp", 10}};
  for (const auto& c : cases) {
    temporaries(c.base);
    EXPECT_EQ(DeleteTempFiles(dir.File(c.path).c_str()), c.deleted) << c.path;
    EXPECT_EQ(DeleteTempFiles(dir.File(c.path).c_str()), 0) << c.path;
  }
  // A file that cannot be deleted is skipped and the others still go.
  temporaries("p");
  std::filesystem::remove(dir.File("p_merg.dbf"));
  std::filesystem::create_directory(dir.File("p_merg.dbf"));  // not a file: never removed
  platform.allowWrite = [&](const std::string& p) { return p != dir.File("p_comb.shx"); };
  EXPECT_EQ(DeleteTempFiles(dir.File("p.shp").c_str()), 8);
  kept.insert(kept.begin() + 4, {"p_comb.shx", "p_merg.dbf"});
  EXPECT_EQ(test::Entries(dir), kept);
  EXPECT_TRUE(platform.messages.empty());
}

}  // namespace
}  // namespace qv
