#include "nhmgen/GridFiles.h"

#include <bit>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "nhmgen/Landscape.h"

namespace qv::nhmgen {

namespace {

// Bands of this many rows are rendered, formatted and written in one go: large writes, and
// memory that does not grow with the window.
constexpr int BandRows = 128;
// Widest text of one value: sign, ten digits, point, two decimals, blank.
constexpr std::size_t MaxValueChars = 16;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

// A file being written. It is removed again unless Commit() succeeds, so a failure never
// leaves a truncated grid behind that a reader might take for a whole one.
class OutputFile {
 public:
  explicit OutputFile(std::string path)
      : Path(std::move(path)), File(std::fopen(Path.c_str(), "wb")) {
    if (!File) {
      throw std::runtime_error("cannot create " + Path);
    }
  }
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile() {
    if (File) {
      File.reset();
      std::remove(Path.c_str());
    }
  }

  void Write(std::string_view bytes) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), File.get()) != bytes.size()) {
      throw std::runtime_error("cannot write " + Path);
    }
  }

  void Commit() {
    if (std::fclose(File.release()) != 0) {
      std::remove(Path.c_str());
      throw std::runtime_error("cannot write " + Path);
    }
  }

 private:
  std::string Path;
  std::unique_ptr<std::FILE, FileCloser> File;
};

// Whole numbers as integers and corners in plain decimal notation: the shortest form of a
// double may be exponential ("1e+05"), which not every grid reader accepts.
void AppendLine(std::string& out, std::string_view key, double v) {
  out += key;
  out.append(key.size() < 14 ? 14 - key.size() : 1, ' ');
  char text[64];
  const auto end = std::to_chars(text, text + sizeof text, v, std::chars_format::fixed).ptr;
  out.append(text, end);
  out += '\n';
}

std::string GridHeader(TileId tile, const DataWindow& window, GridFormat format, Frame frame) {
  std::string h;
  AppendLine(h, "ncols", window.Cols);
  AppendLine(h, "nrows", window.Rows);
  AppendLine(h, "xllcorner", XllCorner(tile, window, frame));
  AppendLine(h, "yllcorner", YllCorner(tile, window, frame));
  AppendLine(h, "cellsize", 1.0);
  AppendLine(h, "NODATA_value", NoDataValue);
  if (format == GridFormat::Flt) {
    h += "byteorder     LSBFIRST\n";
  }
  return h;
}

// Two decimals exactly, as the deliveries write them; no-data as the whole number of the header.
char* AppendHundredths(char* p, std::int32_t v) {
  if (v == NoDataHundredths) {
    std::memcpy(p, "-9999", 5);
    return p + 5;
  }
  std::int64_t magnitude = v;
  if (magnitude < 0) {
    *p++ = '-';
    magnitude = -magnitude;
  }
  p = std::to_chars(p, p + 12, magnitude / 100).ptr;
  const auto cents = static_cast<int>(magnitude % 100);
  *p++ = '.';
  *p++ = static_cast<char>('0' + cents / 10);
  *p++ = static_cast<char>('0' + cents % 10);
  return p;
}

void FormatAsciiRows(std::span<const std::int32_t> band, int cols, std::string& text) {
  text.resize(band.size() * MaxValueChars);
  char* p = text.data();
  for (std::size_t k = 0; k < band.size(); ++k) {
    p = AppendHundredths(p, band[k]);
    *p++ = (k + 1) % static_cast<std::size_t>(cols) == 0 ? '\n' : ' ';
  }
  text.resize(static_cast<std::size_t>(p - text.data()));
}

// IEEE single precision, least significant byte first whatever the host's byte order.
void FormatFloats(std::span<const std::int32_t> band, std::string& bytes) {
  bytes.resize(band.size() * 4);
  char* p = bytes.data();
  for (const std::int32_t v : band) {
    const float f = v == NoDataHundredths ? static_cast<float>(NoDataValue)
                                          : static_cast<float>(static_cast<double>(v) / 100.0);
    const auto bits = std::bit_cast<std::uint32_t>(f);
    for (int shift = 0; shift < 32; shift += 8) {
      *p++ = static_cast<char>((bits >> shift) & 0xFFu);
    }
  }
}

}  // namespace

NhmStatistics WriteTileFiles(std::uint64_t seed, TileId tile, const DataWindow& window,
                             GridFormat format, const std::string& path,
                             std::vector<std::string>& written, Frame frame) {
  CheckWindow(window);
  const bool ascii = format == GridFormat::Ascii;
  const std::string headerPath = ascii ? path : WithExtension(path, ".hdr");
  const std::string dataPath = ascii ? path : WithExtension(path, ".flt");

  NhmStatistics stats;
  std::string chunk;
  OutputFile data(dataPath);
  if (ascii) {
    data.Write(GridHeader(tile, window, format, frame));
  }
  RenderInBands(seed, WindowRegion(tile, window), BandRows,
                [&](std::span<const std::int32_t> band, int, int) {
                  if (ascii) {
                    FormatAsciiRows(band, window.Cols, chunk);
                  } else {
                    FormatFloats(band, chunk);
                  }
                  data.Write(chunk);
                  stats += ComputeStatistics(band, window.Cols);
                });
  if (ascii) {
    data.Commit();
    written.push_back(dataPath);
    return stats;
  }
  OutputFile header(headerPath);
  header.Write(GridHeader(tile, window, format, frame));
  header.Commit();
  try {
    data.Commit();
  } catch (...) {
    std::remove(headerPath.c_str());  // a header without its data would read as a short grid
    throw;
  }
  written.push_back(headerPath);
  written.push_back(dataPath);
  return stats;
}

}  // namespace qv::nhmgen
