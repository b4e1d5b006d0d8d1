#include "LayerCompare.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <vector>

namespace qv::wintest {

namespace {

using TBytes = std::vector<unsigned char>;

bool Read(const std::string& path, TBytes& bytes) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return false;
  bytes.resize(static_cast<std::size_t>(in.tellg()));
  in.seekg(0);
  return static_cast<bool>(
      in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())));
}

std::int32_t BigEndian32(const TBytes& b, std::size_t at) {
  return static_cast<std::int32_t>((std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) |
                                   (std::uint32_t{b[at + 2]} << 8) | std::uint32_t{b[at + 3]});
}

std::int32_t LittleEndian32(const TBytes& b, std::size_t at) {
  std::int32_t v = 0;
  std::memcpy(&v, &b[at], 4);
  return v;
}

std::int64_t Ordered(double d) {
  std::int64_t i = 0;
  std::memcpy(&i, &d, 8);
  return i < 0 ? INT64_MIN - i : i;
}

// Walks a polygon .shp (or only the header of a .shx, which repeats the bounding box): the
// doubles may differ by ulps, everything else must be equal.
std::string CompareShapeFiles(const TBytes& a, const TBytes& b, int ulps, bool records) {
  if (a.size() != b.size()) return "sizes differ";
  std::vector<bool> isDouble(a.size(), false);
  const auto markDoubles = [&](std::size_t from, std::size_t count) {
    for (std::size_t i = from; i < from + 8 * count && i < a.size(); ++i) isDouble[i] = true;
  };
  if (a.size() < 100) return "shorter than a header";
  markDoubles(36, 8);  // the bounding box of the file
  std::size_t at = 100;
  while (records && at + 8 <= a.size()) {
    const std::size_t length = 2 * static_cast<std::size_t>(BigEndian32(a, at + 4));
    const std::size_t content = at + 8;
    if (content + length > a.size() || length < 44) return "a record runs past the file";
    if (LittleEndian32(a, content) != 5) return "not a polygon record";
    markDoubles(content + 4, 4);
    const auto parts = static_cast<std::size_t>(LittleEndian32(a, content + 36));
    const auto points = static_cast<std::size_t>(LittleEndian32(a, content + 40));
    markDoubles(content + 44 + 4 * parts, 2 * points);
    at = content + length;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (isDouble[i]) {
      double x = 0;
      double y = 0;
      std::memcpy(&x, &a[i], 8);
      std::memcpy(&y, &b[i], 8);
      if (std::llabs(Ordered(x) - Ordered(y)) > ulps)
        return "coordinate at byte " + std::to_string(i) + " differs beyond " +
               std::to_string(ulps) + " ulps";
      i += 7;
    } else if (a[i] != b[i]) {
      return "byte " + std::to_string(i) + " differs";
    }
  }
  return {};
}

}  // namespace

std::string CompareShapefileSets(const std::string& ours, const std::string& theirs, int ulps) {
  for (const char* ext : {".shp", ".shx", ".dbf"}) {
    TBytes a;
    TBytes b;
    if (!Read(ours + ext, a)) return ours + ext + " is missing";
    if (!Read(theirs + ext, b)) return theirs + ext + " is missing";
    std::string difference;
    if (std::string(ext) == ".dbf") {
      // Bytes 1 to 3 of a dBase header are the date of the last update.
      if (a.size() != b.size()) difference = "sizes differ";
      for (std::size_t i = 0; difference.empty() && i < a.size(); ++i) {
        if ((i < 1 || i > 3) && a[i] != b[i]) difference = "byte " + std::to_string(i) + " differs";
      }
    } else {
      difference = CompareShapeFiles(a, b, ulps, std::string(ext) == ".shp");
    }
    if (!difference.empty()) return ours + ext + ": " + difference;
  }
  return {};
}

}  // namespace qv::wintest
