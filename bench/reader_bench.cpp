// Reading one whole tile through the tile pass.
//
//   bench_reader_bench --dir DIR [--map M --tile T] [--format ascii|flt] [--seed N --verify]
//
// Lays the extent over exactly the tile M-T (default 1091-11), finds its file in DIR under the
// default delivery name (<map><tile>_dhm_grid1.txt, or .hdr/.flt) and runs the tile pass with a
// row pass that only counts: every row the ring receives is parsed and placed, nothing is built.
// Prints the wall time of the pass, the rows and the high cells seen.
//
// With --verify the high cells seen are compared with the generator's own count for the same
// cells (seed N), so a fast figure cannot come from a reader that skips or misplaces data. The
// comparison runs after the timing and is not part of it.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <span>
#include <string>
#include <string_view>

#include "calculation/TileGrid.h"
#include "calculation/WoodedAreaCalculation.h"
#include "catalogue/Languages.h"
#include "nhmgen/NhmGenerator.h"

namespace {

using namespace qv;

struct TOptions {
  std::string Dir;
  std::int32_t Map = 1091;
  std::int32_t Tile = 11;
  bool Flt = false;
  std::uint64_t Seed = 1;
  bool Verify = false;
};

// What the counting row pass saw: the newest row of the ring at every call, i.e. the tile's rows
// 4..2999 when the pass starts at the tile's top (the first four only fill the ring).
struct TSeen {
  std::int64_t Calls = 0;
  std::int64_t HighCells = 0;
  int FirstRow = -1;
};

bool ParseOptions(int argc, char** argv, TOptions& o) {
  for (int k = 1; k < argc; ++k) {
    const std::string_view name = argv[k];
    if (name == "--verify") {
      o.Verify = true;
      continue;
    }
    if (k + 1 >= argc) return false;
    const std::string value = argv[++k];
    if (name == "--dir") {
      o.Dir = value;
    } else if (name == "--map") {
      o.Map = std::stoi(value);
    } else if (name == "--tile") {
      o.Tile = std::stoi(value);
    } else if (name == "--format") {
      if (value != "ascii" && value != "flt") return false;
      o.Flt = value == "flt";
    } else if (name == "--seed") {
      o.Seed = std::stoull(value);
    } else {
      return false;
    }
  }
  return !o.Dir.empty();
}

void Configure(TWoodedAreaCalculation& calc, const TOptions& o) {
  calc.Paths.NhmPath = o.Dir;
  if (!calc.Paths.NhmPath.ends_with('/')) calc.Paths.NhmPath += '/';
  calc.Settings.Files.NhmSuffix = "_dhm_grid1";
  calc.Settings.Files.NhmFileExt = o.Flt ? ".hdr" : ".txt";
  calc.Settings.Files.NhmFiletype = o.Flt ? NhmFloatGrid : NhmAsciiGrid;
}

std::int64_t CountHigh(std::span<const double> values, double minHeight) {
  std::int64_t n = 0;
  for (const double v : values) n += v >= minHeight ? 1 : 0;
  return n;
}

// The generator's count of high cells in the tile's rows first..2999.
std::int64_t GeneratorHighCells(const TOptions& o, int firstRow) {
  const nhmgen::DataWindow window{firstRow, 0, nhmgen::TileRows - firstRow, nhmgen::TileCols};
  return nhmgen::WindowStatistics(o.Seed, {o.Map, o.Tile}, window).HighCells;
}

int Run(const TOptions& o) {
  SetLanguage(LanguageEnglish);
  TWoodedAreaCalculation calc;
  const TTileId id{o.Map, o.Tile};
  // From the centre of the north-west cell to the centre of the south-east one: the grid's
  // tile boundaries run through cell centres, so anything wider would reach the neighbours.
  const double west = TileWestX(id);
  const double north = TileNorthY(id);
  if (calc.SetExtent(west, north, west + TileWidth - 1.0, north - TileHeight + 1.0) != 1) {
    std::fprintf(stderr, "reader_bench: tile %d-%d cannot be laid out alone\n", o.Map, o.Tile);
    return 1;
  }
  Configure(calc, o);
  std::int32_t found = 0;
  if (!calc.TilePass().CheckTileFiles(found) || found != 1) {
    std::fprintf(stderr, "reader_bench: tile file not found in %s\n", o.Dir.c_str());
    return 1;
  }

  TSeen seen;
  TTilePassOptions options{.CompactFinished = false};
  options.RowPass = [&seen](TRowPassContext& ctx, TTile& tile, int row) {
    if (seen.FirstRow < 0) seen.FirstRow = row;
    ++seen.Calls;
    const auto ring = tile.RowRing(tile.RingSlotBack(0));
    seen.HighCells += CountHigh(ring.subspan(TTile::OverlapColumns), ctx.Tree.MinTreeHeight);
    return true;
  };

  const auto start = std::chrono::steady_clock::now();
  calc.State.Begin();  // the row function builds nothing, but a row pass has its containers
  const bool ok = calc.TilePass().Run(calc.State, options);
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  if (!ok) {
    std::fprintf(stderr, "reader_bench: the tile pass failed\n");
    return 1;
  }
  const std::int64_t rows = seen.Calls + TTile::RingRows - 1;
  std::printf("tile pass: %.3f s, %lld rows\n", elapsed.count(), static_cast<long long>(rows));
  std::printf("high cells in rows %d..2999: %lld\n", seen.FirstRow,
              static_cast<long long>(seen.HighCells));

  if (o.Verify) {
    const std::int64_t expected = GeneratorHighCells(o, seen.FirstRow);
    std::printf("verify: generator counts %lld: %s\n", static_cast<long long>(expected),
                expected == seen.HighCells ? "match" : "MISMATCH");
    if (expected != seen.HighCells) return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  TOptions options;
  try {
    if (!ParseOptions(argc, argv, options)) {
      std::fprintf(stderr,
                   "usage: bench_reader_bench --dir DIR [--map M --tile T] [--format ascii|flt]"
                   " [--seed N --verify]\n");
      return 2;
    }
    return Run(options);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "reader_bench: %s\n", e.what());
    return 1;
  }
}
