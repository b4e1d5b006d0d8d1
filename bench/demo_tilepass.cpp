// The tile pass over a block of 2 x 2 tiles, as the demo shows it until the computation exists.
//
//   bench_demo_tilepass --dir DIR [--map M --tile T] [--seed N]
//
// M-T (default 1091-11) is the block's north-west tile; its files are looked for in DIR under
// the default delivery name <map><tile>_dhm_grid1.txt. The extent starts inside the north-west
// tile and ends inside the south-east one, so every tile is read in part and both seams are
// crossed. The row pass only looks at the row it would build (the ring's middle row): it counts
// the cells of that row inside the extent, the high ones and the missing ones.
//
// Afterwards the counts of every tile are compared with the generator's for the same cells
// (seed N, default 1): equal counts show that the rows reached the ring whole and in place,
// across both seams.
#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <map>
#include <string>
#include <string_view>

#include "calculation/TileGrid.h"
#include "calculation/WoodedAreaCalculation.h"
#include "dialog/languages/Languages.h"
#include "nhmgen/NhmGenerator.h"

namespace {

using namespace qv;

// Where the extent starts and ends, in metres inside the block's corner tiles.
constexpr double InsetWest = 1000.0;
constexpr double InsetNorth = 500.0;
constexpr double InsetEast = 1500.0;
constexpr double InsetSouth = 700.0;

struct TOptions {
  std::string Dir;
  std::int32_t Map = 1091;
  std::int32_t Tile = 11;
  std::uint64_t Seed = 1;
};

// The cells of one tile that the row pass would build inside the extent. Rows are the tile's
// own (-2 and -1 are the last rows of the tile above, built while this tile's ring starts),
// columns its own 0..4374.
struct TTileSeen {
  int FirstRow = TTile::TileRowCount;
  int LastRow = -TTile::TileRowCount;
  int FirstCol = TTile::OwnColumns;
  int LastCol = -1;
  std::int64_t Cells = 0;
  std::int64_t HighCells = 0;
  std::int64_t NoDataCells = 0;
};

struct TSeen {
  std::int64_t RingRows = 0;
  std::map<const TTile*, TTileSeen> Tiles;
};

bool ParseOptions(int argc, char** argv, TOptions& o) {
  for (int k = 1; k + 1 < argc; k += 2) {
    const std::string_view name = argv[k];
    const std::string value = argv[k + 1];
    if (name == "--dir") {
      o.Dir = value;
    } else if (name == "--map") {
      o.Map = std::stoi(value);
    } else if (name == "--tile") {
      o.Tile = std::stoi(value);
    } else if (name == "--seed") {
      o.Seed = std::stoull(value);
    } else {
      return false;
    }
  }
  return argc % 2 == 1 && !o.Dir.empty();
}

// Counts the cells of the ring's middle row that lie inside the extent.
void CountMiddleRow(const TWoodedAreaCalculation& calc, const TTile& tile, int row, TSeen& seen) {
  const int middle = row - 2;
  const double y = tile.NorthY - middle * tile.CellSize;
  if (y > calc.Extent.Top || y < calc.Extent.Bottom) return;
  TTileSeen& t = seen.Tiles[&tile];
  t.FirstRow = std::min(t.FirstRow, middle);
  t.LastRow = std::max(t.LastRow, middle);
  const auto ring = tile.RowRing(tile.MiddleSlot());
  // Positions 0..3 are the left neighbour's columns: that tile counts them.
  for (int p = TTile::OverlapColumns; p < TTile::RingWidth; ++p) {
    const double x = tile.ColumnX(p);
    if (x < calc.Extent.Left || x > calc.Extent.Right) continue;
    t.FirstCol = std::min(t.FirstCol, p - TTile::OverlapColumns);
    t.LastCol = std::max(t.LastCol, p - TTile::OverlapColumns);
    const double v = ring[static_cast<std::size_t>(p)];
    ++t.Cells;
    if (v == tile.NoDataValue) {
      ++t.NoDataCells;
    } else if (v >= calc.MinTreeHeight) {
      ++t.HighCells;
    }
  }
}

// Whether the generator counts the same cells, high cells and missing cells in every tile.
bool GeneratorAgrees(const TSeen& seen, std::uint64_t seed) {
  bool agrees = true;
  for (const auto& [tile, t] : seen.Tiles) {
    const nhmgen::DataWindow window{t.FirstRow, t.FirstCol, t.LastRow - t.FirstRow + 1,
                                    t.LastCol - t.FirstCol + 1};
    const nhmgen::NhmStatistics expected =
        nhmgen::WindowStatistics(seed, {tile->MapNumber, tile->TileNumber}, window);
    if (expected.Cells != t.Cells || expected.HighCells != t.HighCells ||
        expected.NoDataCells != t.NoDataCells) {
      std::printf(
          "tile %d-%d: read %lld cells, %lld high, %lld no-data; generator %lld, %lld, %lld\n",
          tile->MapNumber, tile->TileNumber, static_cast<long long>(t.Cells),
          static_cast<long long>(t.HighCells), static_cast<long long>(t.NoDataCells),
          static_cast<long long>(expected.Cells), static_cast<long long>(expected.HighCells),
          static_cast<long long>(expected.NoDataCells));
      agrees = false;
    }
  }
  return agrees;
}

double Percent(std::int64_t part, std::int64_t whole) {
  return whole > 0 ? 100.0 * static_cast<double>(part) / static_cast<double>(whole) : 0.0;
}

void PrintLayout(const TWoodedAreaCalculation& calc, std::int32_t found) {
  const T2DRect& e = calc.Extent;
  std::printf("extent: x %.0f .. %.0f, y %.0f .. %.0f (%.2f km2)\n", e.Left, e.Right, e.Bottom,
              e.Top, (e.Width + 1.0) * (e.Height + 1.0) / 1.0e6);
  std::string list = calc.Tiles.TileList;
  if (!list.empty()) list.pop_back();  // the list ends with a comma
  std::printf("tiles: %d laid out (%s), %d with files\n", calc.Tiles.Count(), list.c_str(), found);
}

// Lays out the extent and finds the files; false (with a message) unless every tile has one.
bool Prepare(TWoodedAreaCalculation& calc, const TOptions& o) {
  const TTileId first{o.Map, o.Tile};
  const double west = TileWestX(first);
  const double north = TileNorthY(first);
  const double east = west + 2 * TileWidth - 1.0;  // centre of the block's south-east cell
  const double south = north - 2 * TileHeight + 1.0;
  calc.SetExtent(west + InsetWest, north - InsetNorth, east - InsetEast, south + InsetSouth);
  if (!calc.LayoutReady) {
    std::fprintf(stderr, "demo_tilepass: the extent cannot be laid out\n");
    return false;
  }
  calc.NhmPath = o.Dir;
  if (!calc.NhmPath.ends_with('/')) calc.NhmPath += '/';
  calc.NhmSuffix = "_dhm_grid1";
  calc.NhmFileExt = ".txt";
  std::int32_t found = 0;
  const bool checked = calc.CheckTileFiles(found);
  PrintLayout(calc, found);
  if (!checked || found != calc.Tiles.Count()) {
    std::fprintf(stderr, "demo_tilepass: tile files are missing in %s\n", o.Dir.c_str());
    return false;
  }
  return true;
}

void PrintSummary(const TWoodedAreaCalculation& calc, const TSeen& seen, double seconds) {
  TTileSeen total;
  for (const auto& entry : seen.Tiles) {
    total.Cells += entry.second.Cells;
    total.HighCells += entry.second.HighCells;
    total.NoDataCells += entry.second.NoDataCells;
  }
  std::printf("rows through the rings: %lld in %.2f s\n", static_cast<long long>(seen.RingRows),
              seconds);
  std::printf("cells the row pass would build: %lld, high (>= %.1f m) %.1f %%, no-data %.2f %%\n",
              static_cast<long long>(total.Cells), calc.MinTreeHeight,
              Percent(total.HighCells, total.Cells), Percent(total.NoDataCells, total.Cells));
}

int Run(const TOptions& o) {
  SetLanguage(ChooseLanguage());
  TWoodedAreaCalculation calc;
  if (!Prepare(calc, o)) return 1;

  TSeen seen;
  calc.RowPass = [&seen](TWoodedAreaCalculation& c, TTile& tile, int row) {
    ++seen.RingRows;
    CountMiddleRow(c, tile, row, seen);
    return true;
  };
  const auto start = std::chrono::steady_clock::now();
  const bool ok = calc.RunTilePass();
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  if (!ok) {
    std::fprintf(stderr, "demo_tilepass: the tile pass stopped\n");
    return 1;
  }
  // A tile of the first row fills its ring with four rows before the row pass first runs.
  seen.RingRows += std::int64_t{calc.Tiles.ColumnCount()} * (TTile::RingRows - 1);
  PrintSummary(calc, seen, elapsed.count());

  const bool agrees = GeneratorAgrees(seen, o.Seed);
  std::printf("the generator's counts for the same cells: %s\n", agrees ? "equal" : "DIFFERENT");
  return agrees ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  TOptions options;
  try {
    if (!ParseOptions(argc, argv, options)) {
      std::fprintf(stderr, "usage: bench_demo_tilepass --dir DIR [--map M --tile T] [--seed N]\n");
      return 2;
    }
    return Run(options);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "demo_tilepass: %s\n", e.what());
    return 1;
  }
}
