// A whole generated tile through the tile pass and the row pass, judged against a labelling of
// its 4-connected regions: one live polygon per region, each with the region's class and pixel
// count, all rings sound. (The flood-fill reference with its holes is too slow at this size; the
// small windows of RowPassOracleTest check holes and shapes.)
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <numeric>

#include "RowPassRun.h"
#include "nhmgen/GridFiles.h"
#include "nhmgen/NhmGenerator.h"

namespace qv::test {
namespace {

constexpr int FirstCol = 2, LastCol = 4370;  // own columns the pass visits over a whole tile
constexpr int FirstRow = 2, LastRow = 2997;
constexpr int Width = LastCol - FirstCol + 1;
constexpr int Height = LastRow - FirstRow + 1;

struct TLabels {
  std::vector<int> Of;  // region of each window pixel
  std::vector<int> Size;
  std::vector<bool> Wooded;
};

int Find(std::vector<int>& parent, int i) {
  while (parent[i] != i) i = parent[i] = parent[parent[i]];
  return i;
}

TLabels Label(const std::vector<double>& tileValues) {
  std::vector<std::uint8_t> wooded(static_cast<std::size_t>(Width) * Height);
  for (int r = 0; r < Height; ++r) {
    for (int c = 0; c < Width; ++c) {
      const auto v = static_cast<double>(static_cast<float>(
          tileValues[static_cast<std::size_t>(r + FirstRow) * 4375 + c + FirstCol]));
      wooded[static_cast<std::size_t>(r) * Width + c] = v != NoData && v >= 2.0 ? 1 : 0;
    }
  }
  std::vector<int> parent(wooded.size());
  std::iota(parent.begin(), parent.end(), 0);
  for (int r = 0; r < Height; ++r) {
    for (int c = 0; c < Width; ++c) {
      const int i = r * Width + c;
      if (c > 0 && wooded[i] == wooded[i - 1]) parent[Find(parent, i)] = Find(parent, i - 1);
      if (r > 0 && wooded[i] == wooded[i - Width])
        parent[Find(parent, i)] = Find(parent, i - Width);
    }
  }
  TLabels labels;
  labels.Of.assign(wooded.size(), -1);
  std::vector<int> id(wooded.size(), -1);
  for (std::size_t i = 0; i < wooded.size(); ++i) {
    const int root = Find(parent, static_cast<int>(i));
    if (id[root] < 0) {
      id[root] = static_cast<int>(labels.Size.size());
      labels.Size.push_back(0);
      labels.Wooded.push_back(wooded[i] != 0);
    }
    labels.Of[i] = id[root];
    ++labels.Size[id[root]];
  }
  return labels;
}

// The pixel on the inner side (left) of the first unit of the outer ring's first edge.
int PixelInside(const T2DPolygonMesh& m, TPolygonId p) {
  const TEdgeId e = m.FirstEdge(p);
  const T2DPoint o = m[m[e].Origin].Point, d = m[m[e].Destination].Point;
  const double dx = d.X > o.X ? 1 : d.X < o.X ? -1 : 0;
  const double dy = d.Y > o.Y ? 1 : d.Y < o.Y ? -1 : 0;
  const double x = o.X + 0.5 * dx - 0.5 * dy, y = o.Y + 0.5 * dy + 0.5 * dx;
  const int c = static_cast<int>(x - (WestX11 + FirstCol));
  const int r = static_cast<int>((NorthY11 - FirstRow) - y);
  return r * Width + c;
}

TEST(LongRowPass, aWholeGeneratedTileIsOnePolygonPerRegionWithItsPixelCount) {
  SetLanguage(LanguageEnglish);
  TRowPassRun run;
  std::vector<std::string> written;
  nhmgen::WriteTileFiles(7, {1091, 11}, {}, nhmgen::GridFormat::Flt,
                         run.dir.Prefix() + "t1091-11.hdr", written);
  run.calc.NhmFiletype = NhmFloatGrid;
  run.calc.NhmFileExt = ".hdr";
  run.calc.MinClearingArea = 0;
  run.calc.MinWoodedArea = 0;
  ASSERT_EQ(run.calc.SetExtent(WestX11, NorthY11, WestX11 + 4374, NorthY11 - 2999), 1);
  std::int32_t found = 0;
  ASSERT_TRUE(run.calc.CheckTileFiles(found));
  run.calc.BeginRun();
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(run.calc.RunTilePass());
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  const TLabels labels = Label(nhmgen::TileValues(7, {1091, 11}));
  const T2DPolygonMesh& m = run.Mesh();
  std::vector<int> owner(labels.Size.size(), -1);
  double area = 0;
  int live = 0, faults = 0, wrong = 0;
  for (int i = 0; i < m.PolygonCount(); ++i) {
    const TPolygonId p = m.Polygon(i);
    if (m[p].Deleted) continue;
    ++live;
    area += m[p].Area;
    std::string fault = RingFault(m, m.OuterRing(p));
    for (int h = 0; h < m.InnerRingCount(p) && fault.empty(); ++h)
      fault = RingFault(m, m.InnerRing(p, h));
    if (!fault.empty()) {
      if (faults++ == 0) ADD_FAILURE() << "polygon " << p.Index << ": " << fault;
      continue;
    }
    const int region = labels.Of[static_cast<std::size_t>(PixelInside(m, p))];
    const bool right = owner[region] < 0 && labels.Wooded[region] == m[p].IsWooded &&
                       labels.Size[region] == m[p].Area;
    owner[region] = i;
    if (!right && wrong++ == 0) ADD_FAILURE() << "polygon " << p.Index << " is not its region";
  }
  EXPECT_EQ(faults, 0);
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(live, static_cast<int>(labels.Size.size()));
  EXPECT_EQ(area, static_cast<double>(Width) * Height);
  EXPECT_TRUE(run.platform.messages.empty());
  std::printf("whole tile: %d regions, %d crown circles, row pass %.2f s\n", live,
              run.calc.CrownCircles->Count(), seconds);
}

}  // namespace
}  // namespace qv::test
