// A run on a system that gives it no second thread: the rows are read on the run's own thread
// instead of ahead of the row pass, and the crown layer is written after the woods instead of
// beside them. The layers must be those of the run with both threads, byte for byte.
#include <gtest/gtest.h>

#include "Runs.h"
#include "platform/WorkerThread.h"

namespace qv::test {
namespace {

// Woods with clearings over the corner where four tiles meet (as ASCII or float grids), so
// that rows are read ahead in every tile and polygons join across both borders.
THeightWindow FourTiles() {
  THeightWindow w{WestX12 - 20, NorthY13 + 15, 40, 30, {}};
  for (int i = 0; i < w.Width * w.Height; ++i) {
    const int c = i % w.Width, r = i / w.Width;
    const bool clearing = (c - 20) * (c - 20) + (r - 14) * (r - 14) < 30 || (c + r) % 17 == 0;
    w.Values.push_back(clearing ? 0.5 : 3.0 + (c * 7 + r * 11) % 13 * 0.5);
  }
  return w;
}

// The layers' files, the dBase date of writing (bytes 1 to 3) left out.
std::vector<std::string> Undated(std::vector<std::string> files) {
  for (const std::size_t dbf : {2, 5}) {
    if (files[dbf].size() > 4) files[dbf].replace(1, 3, "---");
  }
  return files;
}

TEST(SingleThreadRun, givesTheLayersOfTheRunWithTwoThreads) {
  for (const std::uint8_t filetype : {NhmAsciiGrid, NhmFloatGrid}) {
    const THeightWindow window = FourTiles();
    TRun both(filetype), one(filetype);
    for (TRun* run : {&both, &one}) {
      ASSERT_EQ(run->Lay(window), 4);
      run->WriteTiles();
    }
    ASSERT_TRUE(both.Run());
    {
      const TScopedWorkerRefusal noThreads;
      ASSERT_TRUE(one.Run());
    }
    EXPECT_EQ(one.calc.ResultStatus, 1);
    EXPECT_EQ(LayerFault(one, window), "");
    EXPECT_EQ(Undated(one.LayerFiles()), Undated(both.LayerFiles()));
  }
}

}  // namespace
}  // namespace qv::test
