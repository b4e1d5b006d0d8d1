// Small grid files and what every test of the calculation shares: the position of the test
// tiles, a temporary directory, the status texts and the errors a run throws.
#pragma once

#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "calculation/NhmError.h"
#include "calculation/Tile.h"
#include "calculation/WoodedAreaCalculation.h"

namespace qv::test {

// Map 1091: tile 11 has its north-west cell at (672500, 254000); 12 lies east, 13 south of it.
inline constexpr double WestX11 = 672500;
inline constexpr double NorthY11 = 254000;
inline constexpr double WestX12 = WestX11 + 4375;
inline constexpr double NorthY13 = NorthY11 - 3000;
inline constexpr double NoData = -9999;

class TRecordingStatus final : public IStatusSink {
 public:
  void SetText(std::string_view text) override { texts.emplace_back(text); }
  std::vector<std::string> texts;
};

inline std::string Number(double v) {
  char buffer[64];
  return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, v).ptr);
}

// The text of the ENhmError that `f` throws, or "no exception".
template <class F>
std::string NhmErrorOf(F&& f) {
  try {
    f();
  } catch (const ENhmError& e) {
    return e.what();
  }
  return "no exception";
}

// Points the calculation at tile files named <prefix><map>-<tile><ext> in the directory.
inline void UseTileFiles(TWoodedAreaCalculation& calc, const std::string& dirPrefix,
                         const std::string& prefix, bool binary) {
  calc.NhmFiletype = binary ? NhmFloatGrid : NhmAsciiGrid;
  calc.NhmPath = dirPrefix;
  calc.NhmPrefix = prefix;
  calc.NhmSeparator = "-";
  calc.NhmFileExt = binary ? ".hdr" : ".txt";
}

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

// A rectangle as {left, top, right, bottom}.
inline std::array<double, 4> Edges(const T2DRect& r) { return {r.Left, r.Top, r.Right, r.Bottom}; }

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
                          double noData = NoData) {
  return "ncols " + std::to_string(ncols) + "\nnrows " + std::to_string(nrows) + "\nxllcorner " +
         Number(xll) + "\nyllcorner " + Number(yll) + "\ncellsize 1\nnodata_value " +
         Number(noData) + "\n";
}

// A tile with the position of map 1091, tile 11 and the given file names, ready for ReadHeader.
inline void PlaceTestTile(TTile& tile, std::uint8_t filetype, const std::string& fileName) {
  tile.MapNumber = 1091;
  tile.TileNumber = 11;
  tile.WestX = WestX11;
  tile.NorthY = NorthY11;
  tile.NhmFiletype = filetype;
  tile.FileName = fileName;
  tile.HdrFileName = fileName;
  tile.FltFileName = fileName.substr(0, fileName.size() - 4) + ".flt";
}

}  // namespace qv::test
