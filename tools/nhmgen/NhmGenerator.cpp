#include "nhmgen/NhmGenerator.h"

#include <filesystem>
#include <stdexcept>

#include "nhmgen/Landscape.h"

namespace qv::nhmgen {

namespace {

constexpr int BandRows = 256;

double ValueOf(std::int32_t hundredths) {
  return hundredths == NoDataHundredths ? NoDataValue : static_cast<double>(hundredths) / 100.0;
}

}  // namespace

double ValueAt(std::uint64_t seed, std::int64_t x, std::int64_t y) {
  std::int32_t v = 0;
  RenderRegion(seed, Region{x, y, 1, 1}, std::span<std::int32_t>(&v, 1));
  return ValueOf(v);
}

std::vector<double> TileValues(std::uint64_t seed, TileId tile, const DataWindow& window) {
  CheckWindow(window);
  std::vector<double> values;
  values.reserve(static_cast<std::size_t>(window.Rows) * static_cast<std::size_t>(window.Cols));
  RenderInBands(seed, WindowRegion(tile, window), BandRows,
                [&](std::span<const std::int32_t> band, int, int) {
                  for (const std::int32_t v : band) {
                    values.push_back(ValueOf(v));
                  }
                });
  return values;
}

NhmStatistics WindowStatistics(std::uint64_t seed, TileId tile, const DataWindow& window) {
  CheckWindow(window);
  NhmStatistics stats;
  RenderInBands(seed, WindowRegion(tile, window), BandRows,
                [&](std::span<const std::int32_t> band, int, int) {
                  stats += ComputeStatistics(band, window.Cols);
                });
  return stats;
}

BlockResult WriteBlock(const BlockRequest& request) {
  CheckWindow(request.Window);
  const std::vector<TileId> tiles = BlockTiles(request.FirstTile, request.Cols, request.Rows);
  const std::filesystem::path directory =
      std::filesystem::path(request.OutputDirectory.empty() ? "." : request.OutputDirectory);
  std::error_code error;
  std::filesystem::create_directories(directory, error);
  if (error) {
    throw std::runtime_error("cannot create directory " + directory.string() + ": " +
                             error.message());
  }
  BlockResult result;
  for (const TileId& tile : tiles) {
    const std::string path = (directory / TileFileName(request.Naming, tile)).string();
    result.Statistics +=
        WriteTileFiles(request.Seed, tile, request.Window, request.Format, path, result.Files,
                       request.HeaderFrame);
  }
  return result;
}

}  // namespace qv::nhmgen
