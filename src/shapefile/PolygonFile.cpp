#include "shapefile/PolygonFile.h"

#include <bit>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "shapefile/ShapeHeader.h"

#ifdef _WIN32
#include <share.h>
#endif

namespace qv {

namespace {

std::int32_t LoadLE32(const std::uint8_t* at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | at[i];
  return static_cast<std::int32_t>(v);
}

std::int32_t LoadBE32(const std::uint8_t* at) {
  std::uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v = (v << 8) | at[i];
  return static_cast<std::int32_t>(v);
}

double LoadLEDouble(const std::uint8_t* at) {
  std::uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = (v << 8) | at[i];
  return std::bit_cast<double>(v);
}

bool IsPolygonType(std::int32_t type) { return type == 5 || type == 15 || type == 25; }

struct TFileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using TFile = std::unique_ptr<std::FILE, TFileCloser>;

TFile OpenForReading(const std::string& path) {
#ifdef _WIN32
  return TFile(::_fsopen(path.c_str(), "rb", _SH_DENYWR));
#else
  return TFile(std::fopen(path.c_str(), "rb"));
#endif
}

// Reads exactly `bytes`; false at the end of the file before the first byte.
bool ReadExactly(std::FILE* file, std::vector<std::uint8_t>& buffer, std::size_t bytes,
                 const std::string& path) {
  buffer.resize(bytes);
  const std::size_t got = std::fread(buffer.data(), 1, bytes, file);
  if (got == bytes) return true;
  if (got == 0 && std::feof(file)) return false;
  throw EPolygonFile(path + ": the file ends inside a record");
}

void CheckHeader(std::FILE* file, std::vector<std::uint8_t>& buffer, const std::string& path) {
  if (!ReadExactly(file, buffer, ShapeHeaderBytes, path) ||
      LoadBE32(buffer.data()) != ShapeFileCode)
    throw EPolygonFile(path + ": not a shapefile");
  const std::int32_t type = LoadLE32(buffer.data() + 32);
  if (type != 0 && !IsPolygonType(type)) throw EPolygonFile(path + ": not a polygon shapefile");
}

// The rings of one polygon record's content; a refused or null record gives an empty shape.
TRingShape ParsePolygon(std::span<const std::uint8_t> content, const std::string& path,
                        const std::function<bool(const TShapeBox&)>& keep) {
  TRingShape shape;
  if (content.size() < 4 || LoadLE32(content.data()) == 0) return shape;
  const std::uint8_t* at = content.data();
  if (!IsPolygonType(LoadLE32(at)) || content.size() < 44)
    throw EPolygonFile(path + ": a record that is not a polygon");
  const TShapeBox box{LoadLEDouble(at + 4), LoadLEDouble(at + 12), LoadLEDouble(at + 20),
                      LoadLEDouble(at + 28)};
  const std::int64_t parts = LoadLE32(at + 36);
  const std::int64_t points = LoadLE32(at + 40);
  if (parts < 0 || points < 0 ||
      static_cast<std::int64_t>(content.size()) < 44 + 4 * parts + 16 * points)
    throw EPolygonFile(path + ": a polygon record whose counts do not fit its length");
  if (!keep(box)) return shape;
  const std::uint8_t* xy = at + 44 + 4 * parts;
  for (std::int64_t part = 0; part < parts; ++part) {
    const std::int64_t begin = LoadLE32(at + 44 + 4 * part);
    const std::int64_t end = part + 1 < parts ? LoadLE32(at + 48 + 4 * part) : points;
    if (begin < 0 || end > points || begin > end)
      throw EPolygonFile(path + ": a polygon record with a ring out of order");
    const std::size_t first = shape.Points.size();
    for (std::int64_t i = begin; i < end; ++i)
      shape.Points.emplace_back(LoadLEDouble(xy + 16 * i), LoadLEDouble(xy + 16 * i + 8));
    if (shape.Points.size() > first + 1 && shape.Points.back() == shape.Points[first])
      shape.Points.pop_back();
    if (shape.Points.size() < first + 3)
      shape.Points.resize(first);  // a ring without area
    else
      shape.RingEnds.push_back(static_cast<std::uint32_t>(shape.Points.size()));
  }
  return shape;
}

}  // namespace

std::vector<TRingShape> ReadPolygonFile(const std::string& path,
                                        const std::function<bool(const TShapeBox&)>& keep) {
  const TFile file = OpenForReading(path);
  if (!file) throw EPolygonFile(path + ": cannot be opened");
  std::setvbuf(file.get(), nullptr, _IOFBF, 1 << 20);
  std::vector<std::uint8_t> buffer;
  CheckHeader(file.get(), buffer, path);
  std::vector<TRingShape> shapes;
  while (ReadExactly(file.get(), buffer, 8, path)) {
    const std::int32_t words = LoadBE32(buffer.data() + 4);
    if (words < 2) throw EPolygonFile(path + ": a record with an invalid length");
    if (!ReadExactly(file.get(), buffer, 2 * static_cast<std::size_t>(words), path))
      throw EPolygonFile(path + ": the file ends inside a record");
    shapes.push_back(ParsePolygon(buffer, path, keep));
  }
  return shapes;
}

}  // namespace qv
