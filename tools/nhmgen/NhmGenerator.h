// Synthetic canopy height models (NHM) for tests, benchmarks and the demo.
//
// The generator draws a wooded pasture: irregular forest stands of touching crowns with gaps,
// hedges, single pasture trees, shrubs of 1 to 2.5 m on noisy open ground below 1 m, and a few
// holes of no-data (-9999). Heights carry two decimals; trees reach about 35 m. About 40 % of
// the cells are 2 m or higher, and a full tile row changes class some 150 times.
//
// Every value is a pure function of the seed and the cell's global position (the centre of the
// cell in whole metres), never of the tile or window it is produced for: neighbouring tiles
// join seamlessly, and any window of a tile holds exactly the values of the same cells of the
// whole tile. The output is the same on every platform and standard library.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "nhmgen/GridFiles.h"
#include "nhmgen/Statistics.h"
#include "nhmgen/TileGrid.h"

namespace qv::nhmgen {

// The value of the cell centred at (x, y): a height rounded to 0.01 m, or NoDataValue.
double ValueAt(std::uint64_t seed, std::int64_t x, std::int64_t y);

// The values of a window of a tile, north row first, each row west to east: exactly what the
// ASCII file of that window holds (a .flt holds static_cast<float> of each value).
std::vector<double> TileValues(std::uint64_t seed, TileId tile, const DataWindow& window = {});

// Statistics of a window of a tile, without writing anything.
NhmStatistics WindowStatistics(std::uint64_t seed, TileId tile, const DataWindow& window = {});

struct BlockRequest {
  std::uint64_t Seed = 1;
  TileId FirstTile{1091, 11};  // the block's north-west tile
  int Cols = 1;                // tiles per row of tiles
  int Rows = 1;                // rows of tiles
  DataWindow Window;           // the same window in every tile
  GridFormat Format = GridFormat::Ascii;
  FileNaming Naming;  // for Flt the extension is replaced by .hdr and .flt
  Frame HeaderFrame = Frame::LV03;  // the values stay those of the LV03 tile
  std::string OutputDirectory = ".";
};

struct BlockResult {
  std::vector<std::string> Files;
  NhmStatistics Statistics;
};

// Writes every tile of the block, creating the output directory when needed. Throws
// std::invalid_argument for a bad request and std::runtime_error when writing fails.
BlockResult WriteBlock(const BlockRequest& request);

}  // namespace qv::nhmgen
