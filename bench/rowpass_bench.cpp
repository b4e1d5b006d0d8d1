// The row pass over one whole generated tile: classification, tree tops and polygon building.
//
//   bench_rowpass_bench --dir DIR [--seed N] [--min-height M] [--circle-points N] [--repeat N]
//
// Writes tile 1091-11 of the synthetic wooded pasture (seed N, default 1) as a binary float grid
// into DIR, runs the tile pass over the whole tile with the row pass (best of --repeat runs,
// default 3, each on a fresh mesh: the machine may be shared) and prints the time spent
// in the row pass (classification, tree-top test, crown circles, runs, joins, holes), the time
// of the whole tile pass (reading included), the number of runs, live polygons and crown
// circles, and the mesh's memory at the end of the pass (it only grows during a run, so this is
// its peak). Then it writes DIR/classes.bil with DIR/classes.hdr (EHdr): the same tile classified
// to bytes (1 high, 0 not), for gdal_polygonize.py to take the same picture (bench/rowpass.sh).
// --min-height and --circle-points change the parameters of the pass, to see what the tree-top
// test and the crown circles cost (the classes for GDAL always use 2 m).
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "calculation/RowPass.h"
#include "calculation/TreeTops.h"
#include "calculation/WoodedAreaCalculation.h"
#include "catalogue/Languages.h"
#include "nhmgen/GridFiles.h"
#include "nhmgen/NhmGenerator.h"

namespace {

using namespace qv;
using TClock = std::chrono::steady_clock;

constexpr double WestX = 672500, NorthY = 254000;  // tile 1091-11
constexpr int Cols = 4375, Rows = 3000;

struct TFigures {
  double RowPassSeconds = 0;
  double TilePassSeconds = 0;
  int Runs = 0;
  int Polygons = 0;
  int Circles = 0;
  std::size_t MeshBytes = 0;
};

struct TOptions {
  std::string Dir;
  std::uint64_t Seed = 1;
  double MinTreeHeight = 2.0;
  int CirclePoints = 36;
  int Repeat = 3;  // the tile pass is run this often on a fresh mesh; the best time counts
};

TFigures RunRowPass(const TOptions& o) {
  const std::string& dir = o.Dir;
  SetLanguage(LanguageEnglish);
  TWoodedAreaCalculation calc;
  calc.SetExtent(WestX, NorthY, WestX + Cols - 1, NorthY - Rows + 1);
  calc.Settings.Files.NhmFiletype = NhmFloatGrid;
  calc.Paths.NhmPath = dir;
  calc.Settings.Files.NhmPrefix = "t";
  calc.Settings.Files.NhmSeparator = "-";
  calc.Settings.Files.NhmFileExt = ".hdr";
  calc.Settings.Tree.MinTreeHeight = o.MinTreeHeight;
  calc.Settings.Tree.NumCirclePoints = o.CirclePoints;
  TFigures f;
  TClock::duration inRowPass{};
  TTilePassOptions options{.CompactFinished = false};
  options.RowPass = [&inRowPass](TRowPassContext& ctx, TTile& tile, int row) {
    const auto start = TClock::now();
    const bool ok = VectorizeRow(ctx, tile, row);
    inRowPass += TClock::now() - start;
    return ok;
  };
  std::int32_t found = 0;
  if (!calc.TilePass().CheckTileFiles(found) || found != 1) {
    throw std::runtime_error("tile file missing");
  }
  calc.State.Begin();
  const auto start = TClock::now();
  if (!calc.TilePass().Run(calc.State, options)) throw std::runtime_error("tile pass failed");
  f.TilePassSeconds = std::chrono::duration<double>(TClock::now() - start).count();
  f.RowPassSeconds = std::chrono::duration<double>(inRowPass).count();
  const T2DPolygonMesh& mesh = *calc.State.PolygonMesh;
  f.Runs = mesh.PolygonCount();  // every run starts a polygon; none is freed during the pass
  for (int i = 0; i < mesh.PolygonCount(); ++i) f.Polygons += mesh[mesh.Polygon(i)].Deleted ? 0 : 1;
  f.Circles = calc.State.CrownCircles->Count();
  f.MeshBytes = mesh.MemoryBytes();
  return f;
}

void WriteClasses(const std::string& dir, std::uint64_t seed) {
  const std::vector<double> values = nhmgen::TileValues(seed, {1091, 11});
  std::string bytes(values.size(), '\0');
  for (std::size_t i = 0; i < values.size(); ++i) {
    const auto v = static_cast<double>(static_cast<float>(values[i]));
    bytes[i] = PixelIsHigh(v, -9999.0, 2.0) ? 1 : 0;
  }
  std::ofstream(dir + "classes.bil", std::ios::binary) << bytes;
  std::ofstream(dir + "classes.hdr")
      << "nrows " << Rows << "\nncols " << Cols << "\nnbands 1\nnbits 8\npixeltype unsignedint\n"
      << "byteorder I\nlayout bil\nulxmap " << WestX << "\nulymap " << NorthY
      << "\nxdim 1\nydim 1\n";
}

}  // namespace

int main(int argc, char** argv) {
  TOptions o;
  for (int k = 1; k + 1 < argc; k += 2) {
    const std::string_view name = argv[k];
    if (name == "--dir") o.Dir = argv[k + 1];
    if (name == "--seed") o.Seed = std::stoull(argv[k + 1]);
    if (name == "--min-height") o.MinTreeHeight = std::stod(argv[k + 1]);
    if (name == "--circle-points") o.CirclePoints = std::stoi(argv[k + 1]);
    if (name == "--repeat") o.Repeat = std::max(1, std::stoi(argv[k + 1]));
  }
  if (o.Dir.empty()) {
    std::fprintf(stderr,
                 "usage: bench_rowpass_bench --dir DIR [--seed N] [--min-height M] "
                 "[--circle-points N] [--repeat N]\n");
    return 2;
  }
  if (!o.Dir.ends_with('/')) o.Dir += '/';
  const std::string& dir = o.Dir;
  const std::uint64_t seed = o.Seed;
  try {
    std::vector<std::string> written;
    nhmgen::WriteTileFiles(seed, {1091, 11}, {}, nhmgen::GridFormat::Flt, dir + "t1091-11.hdr",
                           written);
    TFigures f = RunRowPass(o);
    for (int k = 1; k < o.Repeat; ++k) {
      const TFigures again = RunRowPass(o);
      f.RowPassSeconds = std::min(f.RowPassSeconds, again.RowPassSeconds);
      f.TilePassSeconds = std::min(f.TilePassSeconds, again.TilePassSeconds);
    }
    WriteClasses(dir, seed);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("row pass (classes, tree tops, polygons): %.3f s\n", f.RowPassSeconds);
    std::printf("tile pass with reading:                  %.3f s\n", f.TilePassSeconds);
    std::printf("runs: %d\npolygons: %d\ncrown circles: %d\n", f.Runs, f.Polygons, f.Circles);
    std::printf("mesh memory: %.1f MB\nprocess peak RSS: %.1f MB\n", f.MeshBytes / 1e6,
                static_cast<double>(usage.ru_maxrss) / 1024.0);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_rowpass_bench: %s\n", e.what());
    return 1;
  }
  return 0;
}
