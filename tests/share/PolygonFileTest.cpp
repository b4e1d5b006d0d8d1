// The share's reader of polygon shapefiles and the host's --share, on files that shapelib writes.
#include <gtest/gtest.h>
#include <shapefil.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "TempDir.h"
#include "shapefile/PolygonFile.h"

namespace qv {
namespace {

using test::TTempDir;

void WritePolygons(const std::string& path, int type,
                   const std::vector<std::vector<std::vector<T2DPoint>>>& records) {
  SHPHandle file = SHPCreate(path.c_str(), type);
  for (const auto& rings : records) {
    std::vector<double> xs, ys;
    std::vector<int> starts;
    for (const auto& ring : rings) {
      starts.push_back(static_cast<int>(xs.size()));
      for (std::size_t i = 0; i <= ring.size(); ++i) {  // closed, as the format has it
        xs.push_back(ring[i % ring.size()].X);
        ys.push_back(ring[i % ring.size()].Y);
      }
    }
    SHPObject* shape = rings.empty() ? SHPCreateSimpleObject(SHPT_NULL, 0, nullptr, nullptr, nullptr)
                                     : SHPCreateObject(type, -1, static_cast<int>(starts.size()),
                                                       starts.data(), nullptr,
                                                       static_cast<int>(xs.size()), xs.data(),
                                                       ys.data(), nullptr, nullptr);
    SHPWriteObject(file, -1, shape);
    SHPDestroyObject(shape);
  }
  SHPClose(file);
}

const std::vector<T2DPoint> Shell{{0, 0}, {0, 10}, {10, 10}, {10, 0}};
const std::vector<T2DPoint> Hole{{2, 2}, {4, 2}, {4, 4}, {2, 4}};
const std::vector<T2DPoint> Far{{100, 100}, {100, 101}, {101, 101}, {101, 100}};

TEST(PolygonFile, ReadsRingsWithoutClosingPointsAllOrWithinABox) {
  TTempDir dir;
  const std::string path = dir.File("p.shp");
  WritePolygons(path, SHPT_POLYGONZ, {{Shell, Hole}, {}, {Far}});
  TPolygonFile file(path);
  ASSERT_EQ(file.Count(), 3u);
  const auto all = file.ReadAll();
  ASSERT_EQ(all.size(), 3u);
  std::vector<T2DPoint> both = Shell;
  both.insert(both.end(), Hole.begin(), Hole.end());
  EXPECT_EQ(all[0].Points, both);
  EXPECT_EQ(all[0].RingEnds, (std::vector<std::uint32_t>{4, 8}));
  EXPECT_TRUE(all[1].Empty());
  EXPECT_EQ(all[2].Points, Far);

  const auto touching = file.ReadWithin({10, 5, 50, 50});  // meets the first along its edge
  ASSERT_EQ(touching.size(), 1u);
  EXPECT_EQ(touching[0].Points, both);
  const auto far = file.ReadWithin({100.5, 100.5, 200, 200});
  ASSERT_EQ(far.size(), 1u);
  EXPECT_EQ(far[0].Points, Far);
  EXPECT_TRUE(file.ReadWithin({20, 20, 30, 30}).empty());
}

TEST(PolygonFile, RefusesWhatIsNotAWholePolygonShapefile) {
  TTempDir dir;
  EXPECT_THROW(TPolygonFile(dir.File("missing.shp")), EPolygonFile);
  WritePolygons(dir.File("a.shp"), SHPT_ARC, {{Shell}});
  EXPECT_THROW(TPolygonFile(dir.File("a.shp")), EPolygonFile);
  const std::string path = dir.File("p.shp");
  WritePolygons(path, SHPT_POLYGON, {{Shell}, {Far}});
  std::filesystem::resize_file(path, std::filesystem::file_size(path) - 8);
  EXPECT_THROW(TPolygonFile(path).ReadAll(), EPolygonFile);
  WritePolygons(path, SHPT_POLYGON, {{Shell}, {{{0, 0}, {0, 1}, {1e13, 1}}}});
  EXPECT_THROW(TPolygonFile(path).ReadAll(), EPolygonFile);
  WritePolygons(path, SHPT_POLYGON, {{Shell}, {{{0, 0}, {0, 1e12}, {1e12, 1}}}});
  EXPECT_EQ(TPolygonFile(path).ReadAll().size(), 2u);  // the largest coordinate taken
  test::WriteText(dir.File("t.shp"), std::string(100, '\0'));
  EXPECT_THROW(TPolygonFile(dir.File("t.shp")), EPolygonFile);
}

TEST(ShareMode, HostWritesEachParcelRecordsCoveredAreaAndItsProgress) {
  TTempDir dir;
  WritePolygons(dir.File("p.shp"), SHPT_POLYGON, {{Shell, Hole}, {}, {Far}});
  WritePolygons(dir.File("w.shp"), SHPT_POLYGON, {{{{5, 0}, {5, 10}, {20, 10}, {20, 0}}}});
  // Crowns: one partly over the wood, one over the parcel's hole.
  WritePolygons(dir.File("c.shp"), SHPT_POLYGON,
                {{{{0, 0}, {0, 1}, {6, 1}, {6, 0}}}, {{{1, 1}, {1, 3}, {3, 3}, {3, 1}}}});
  const auto share = [&](const std::string& woods, const std::string& options = "") {
    const std::string command = std::string(QV_HOST_PATH) + " --share " + options +
                                dir.File("p.shp") + " " + woods + " " + dir.File("c.shp") + " " +
                                dir.File("t") + " 2>" + dir.File("err") + " >" + dir.File("out");
    return std::system(command.c_str());
  };
  ASSERT_EQ(share(dir.File("w.shp")), 0);
  EXPECT_EQ(test::ReadFile(dir.File("t")), "0 58\n1 0\n2 0\n");
  const std::string progress = test::ReadFile(dir.File("err"));
  EXPECT_EQ(progress.substr(progress.rfind("progress")), "progress 2 2\n");
  EXPECT_NE(share(dir.File("none.shp")), 0);
  EXPECT_NE(test::ReadFile(dir.File("err")).find("none.shp: cannot be opened"), std::string::npos);
  // For programs: the same as events on standard output, a failure too.
  ASSERT_EQ(share(dir.File("w.shp"), "--events "), 0);
  EXPECT_EQ(test::ReadFile(dir.File("t")), "0 58\n1 0\n2 0\n");
  const std::string events = test::ReadFile(dir.File("out"));
  EXPECT_EQ(events.substr(events.rfind("{\"event\":\"progress\"")),
            "{\"event\":\"progress\",\"done\":2,\"total\":2,\"percent\":100}\n"
            "{\"event\":\"result\",\"status\":1}\n");
  EXPECT_NE(share(dir.File("none.shp"), "--events "), 0);
  EXPECT_NE(test::ReadFile(dir.File("out")).find("{\"event\":\"failure\",\"text\":\""),
            std::string::npos);
}

}  // namespace
}  // namespace qv
