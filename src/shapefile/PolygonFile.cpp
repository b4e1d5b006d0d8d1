#include "shapefile/PolygonFile.h"

#include <cmath>
#include <filesystem>
#include <limits>
#include <span>

#include "shapefile/ShapeHeader.h"

namespace qv {

namespace {

constexpr std::size_t WindowBytes = std::size_t{4} << 20;
constexpr std::size_t PolygonHeadBytes = 44;  // type, box, part and point counts
constexpr double MaxCoordinate = 1e12;

bool IsPolygonType(std::int32_t type) { return type == 5 || type == 15 || type == 25; }

float Below(double v) {
  const auto f = static_cast<float>(v);
  return static_cast<double>(f) <= v ? f : std::nextafter(f, -std::numeric_limits<float>::infinity());
}

float Above(double v) {
  const auto f = static_cast<float>(v);
  return static_cast<double>(f) >= v ? f : std::nextafter(f, std::numeric_limits<float>::infinity());
}

// The rings of a polygon record's content after its head.
TRingShape ParseRings(const std::uint8_t* at, std::int64_t parts, std::int64_t points,
                      const std::string& path) {
  TRingShape shape;
  shape.Points.reserve(static_cast<std::size_t>(points));
  const std::uint8_t* xy = at + 4 * parts;
  for (std::int64_t part = 0; part < parts; ++part) {
    const std::int64_t begin = LoadLE32(at + 4 * part);
    const std::int64_t end = part + 1 < parts ? LoadLE32(at + 4 * part + 4) : points;
    if (begin < 0 || end > points || begin > end)
      throw EPolygonFile(path + ": a polygon record with a ring out of order");
    const std::size_t first = shape.Points.size();
    for (std::int64_t i = begin; i < end; ++i) {
      const double x = LoadLEDouble(xy + 16 * i), y = LoadLEDouble(xy + 16 * i + 8);
      // Far beyond any map: what the share computes from them must stay finite.
      if (!(std::fabs(x) <= MaxCoordinate && std::fabs(y) <= MaxCoordinate))
        throw EPolygonFile(path + ": a polygon record with a coordinate out of range");
      shape.Points.emplace_back(x, y);
    }
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

TPolygonFile::TPolygonFile(const std::string& path) : path_(path), file_(OpenSharedRead(path)) {
  std::error_code error;
  size_ = file_ != nullptr ? std::filesystem::file_size(path, error) : 0;
  if (file_ == nullptr || error) throw EPolygonFile(path + ": cannot be opened");
  const std::uint8_t* header = size_ >= ShapeHeaderBytes ? Fetch(0, ShapeHeaderBytes) : nullptr;
  if (header == nullptr || LoadBE32(header) != ShapeFileCode)
    throw EPolygonFile(path + ": not a shapefile");
  const std::int32_t type = LoadLE32(header + 32);
  if (type != 0 && !IsPolygonType(type)) throw EPolygonFile(path + ": not a polygon shapefile");
  IndexRecords();
}

void TPolygonFile::IndexRecords() {
  for (std::uint64_t at = ShapeHeaderBytes; at < size_;) {
    const std::int32_t words = LoadBE32(Fetch(at, 8) + 4);
    if (words < 2) throw EPolygonFile(path_ + ": a record with an invalid length");
    const auto bytes = 2 * static_cast<std::uint32_t>(words);
    const std::uint8_t* content = Fetch(at + 8, bytes < PolygonHeadBytes ? 4 : PolygonHeadBytes);
    TRecord record{at + 8, bytes, 1, 1, -1, -1};  // a null shape: an inverted box
    if (LoadLE32(content) != 0) {
      if (!IsPolygonType(LoadLE32(content)) || bytes < PolygonHeadBytes)
        throw EPolygonFile(path_ + ": a record that is not a polygon");
      record.XMin = Below(LoadLEDouble(content + 4));
      record.YMin = Below(LoadLEDouble(content + 12));
      record.XMax = Above(LoadLEDouble(content + 20));
      record.YMax = Above(LoadLEDouble(content + 28));
    }
    records_.push_back(record);
    at += 8 + std::uint64_t{bytes};
  }
}

const std::uint8_t* TPolygonFile::Fetch(std::uint64_t offset, std::size_t bytes) {
  if (offset >= windowStart_ && offset + bytes <= windowStart_ + window_.size())
    return window_.data() + (offset - windowStart_);
  if (offset + bytes > size_) throw EPolygonFile(path_ + ": the file ends inside a record");
  window_.resize(static_cast<std::size_t>(std::min<std::uint64_t>(
      std::max(bytes, WindowBytes), size_ - offset)));
  windowStart_ = offset;
  if (!SeekFromStart(file_.get(), offset) ||
      std::fread(window_.data(), 1, window_.size(), file_.get()) != window_.size()) {
    window_.clear();
    throw EPolygonFile(path_ + ": cannot be read");
  }
  return window_.data();
}

TRingShape TPolygonFile::Shape(const TRecord& record) {
  if (IsNull(record)) return {};
  const std::uint8_t* content = Fetch(record.Offset, record.Bytes);
  const std::int64_t parts = LoadLE32(content + 36);
  const std::int64_t points = LoadLE32(content + 40);
  if (parts < 0 || points < 0 ||
      static_cast<std::int64_t>(record.Bytes) <
          static_cast<std::int64_t>(PolygonHeadBytes) + 4 * parts + 16 * points)
    throw EPolygonFile(path_ + ": a polygon record whose counts do not fit its length");
  return ParseRings(content + PolygonHeadBytes, parts, points, path_);
}

std::vector<TRingShape> TPolygonFile::ReadAll() {
  std::vector<TRingShape> shapes;
  shapes.reserve(records_.size());
  for (const TRecord& record : records_) shapes.push_back(Shape(record));
  return shapes;
}

bool TPolygonFile::Meets(const TRecord& r, const TShapeBox& box) {
  return static_cast<double>(r.XMin) <= box.XMax && box.XMin <= static_cast<double>(r.XMax) &&
         static_cast<double>(r.YMin) <= box.YMax && box.YMin <= static_cast<double>(r.YMax);
}

std::vector<TRingShape> TPolygonFile::ReadWithin(const TShapeBox& box) {
  std::vector<TRingShape> shapes;
  for (const TRecord& record : records_)
    if (!IsNull(record) && Meets(record, box)) shapes.push_back(Shape(record));
  return shapes;
}

}  // namespace qv
