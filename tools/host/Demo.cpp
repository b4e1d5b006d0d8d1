#include "Demo.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <iomanip>
#include <system_error>

#include "RunSummary.h"
#include "dialog/Run.h"
#include "nhmgen/NhmGenerator.h"

namespace qv::host {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr std::uint64_t kSeed = 1;
constexpr nhmgen::TileId kFirstTile{1091, 11};
constexpr int kBlockSize = 2;  // tiles along each side
// Reach of the extent from the block's inner corner: about half of each tile.
constexpr std::int64_t kReachX = 2000;
constexpr std::int64_t kReachY = 1500;

struct TExtent {
  std::int32_t XMin = 0;
  std::int32_t XMax = 0;
  std::int32_t YMin = 0;
  std::int32_t YMax = 0;
};

// Around the corner where the four tiles meet, so the run reads parts of each of them.
TExtent ExtentAroundInnerCorner() {
  const nhmgen::TileOrigin origin = nhmgen::OriginOf(kFirstTile);
  const std::int64_t cornerX = origin.WestX + nhmgen::TileCols;
  const std::int64_t cornerY = origin.NorthY - nhmgen::TileRows;
  const auto metres = [](std::int64_t v) { return static_cast<std::int32_t>(v); };
  return {metres(cornerX - kReachX), metres(cornerX + kReachX), metres(cornerY - kReachY),
          metres(cornerY + kReachY)};
}

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string TileName(const nhmgen::TileId& tile) {
  return std::to_string(tile.MapNumber) + "-" + std::to_string(tile.TileNumber);
}

// A run that finds nothing leaves a layer unwritten; an old one must not pass for its result.
void RemoveEarlierResults(const fs::path& shapes) {
  std::error_code ignored;
  fs::remove(shapes / "quelvaris.ini", ignored);
  for (const char* layer : {"parcels_w1", "parcels_w2"}) {
    for (const char* ext : {".shp", ".shx", ".dbf", ".sbn", ".sbx"})
      fs::remove(shapes / (std::string(layer) + ext), ignored);
  }
}

}  // namespace

int RunDemo(const std::string& directory, TProgressStyle progress, std::ostream& out,
            std::ostream& err) {
  const fs::path dir = fs::absolute(directory).lexically_normal();
  const fs::path nhmDir = dir / "MNA_Laser" / "MNH";
  const fs::path shapes = dir / "shapes";
  const fs::path shapefile = shapes / "parcels.shp";

  nhmgen::BlockRequest request;
  request.Seed = kSeed;
  request.FirstTile = kFirstTile;
  request.Cols = kBlockSize;
  request.Rows = kBlockSize;
  request.OutputDirectory = nhmDir.string();
  const auto generation = Clock::now();
  try {
    fs::create_directories(shapes);
    RemoveEarlierResults(shapes);
    nhmgen::WriteBlock(request);
  } catch (const std::exception& e) {
    err << "demo: cannot write the demo data in " << dir.string() << ": " << e.what() << "\n";
    return 1;
  }
  std::string names;
  for (const auto& tile : nhmgen::BlockTiles(kFirstTile, kBlockSize, kBlockSize))
    names += (names.empty() ? "" : ", ") + TileName(tile);
  out << "Height model: tiles " << names << " (" << nhmgen::TileCols << " x " << nhmgen::TileRows
      << " cells each) in " << nhmDir.string() << ", generated in " << std::fixed
      << std::setprecision(1) << SecondsSince(generation) << " s\n";

  const TExtent e = ExtentAroundInnerCorner();
  out << "Run: x " << e.XMin << " - " << e.XMax << ", y " << e.YMin << " - " << e.YMax
      << ", shapefile " << shapefile.string() << "\n"
      << std::flush;
  TBatchOptions options;
  options.Progress = progress;
  options.Output = &err;
  TRunReport report;
  options.Report = &report;
  const auto run = Clock::now();
  const std::int32_t result =
      RunQuelvaris(e.XMin, e.XMax, e.YMin, e.YMax, shapefile.string().c_str(), options);
  if (result >= 1 && result <= 4)
    PrintRunSummary(out, CollectRunFigures(result, report, SecondsSince(run)));
  out << "quelvaris returned " << result << "\n";
  return 0;
}

}  // namespace qv::host
