// Small grid files for the tests of the tile readers and the tile pass.
#pragma once

#include <charconv>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "calculation/Tile.h"

namespace qv::test {

// A fresh directory, removed with everything in it at the end of the test.
class TTempDir {
 public:
  TTempDir() {
    static std::mt19937_64 seed{std::random_device{}()};
    path_ = std::filesystem::temp_directory_path() / ("qv_tiles_" + std::to_string(seed()));
    std::filesystem::create_directories(path_);
  }
  ~TTempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;

  // The directory with a trailing separator, as NhmPath holds it.
  std::string Prefix() const { return path_.string() + "/"; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

inline void WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

inline void WriteFloats(const std::string& path, const std::vector<float>& values,
                        std::size_t dropBytes = 0) {
  std::string bytes;
  for (const float v : values) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &v, 4);
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>((bits >> (8 * i)) & 0xFF);
  }
  bytes.resize(bytes.size() - dropBytes);
  WriteText(path, bytes);
}

// The usual six header lines.
inline std::string Header(std::int64_t ncols, std::int64_t nrows, double xll, double yll,
                          double noData = -9999, const std::string& nl = "\n") {
  auto num = [](double v) {
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, v).ptr;
    return std::string(buffer, end);
  };
  return "ncols " + std::to_string(ncols) + nl + "nrows " + std::to_string(nrows) + nl +
         "xllcorner " + num(xll) + nl + "yllcorner " + num(yll) + nl + "cellsize 1" + nl +
         "nodata_value " + num(noData) + nl;
}

// A tile with the position of map 1091, tile 11 and the given file names, ready for ReadHeader.
inline void PlaceTestTile(TTile& tile, std::uint8_t filetype, const std::string& fileName) {
  tile.MapNumber = 1091;
  tile.TileNumber = 11;
  tile.WestX = 672500.0;
  tile.NorthY = 254000.0;
  tile.NhmFiletype = filetype;
  tile.FileName = fileName;
  tile.HdrFileName = fileName;
  tile.FltFileName = fileName.substr(0, fileName.size() - 4) + ".flt";
}

}  // namespace qv::test
