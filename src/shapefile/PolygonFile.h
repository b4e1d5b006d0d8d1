// Reads the polygons of a shapefile's main file (.shp), all of them or those within a box.
//
// The wooded share reads three layers: the parcels (written by the QGIS plugin), the wooded areas
// and the crown circles (written by a run, or by any GIS). Only the geometry is needed, so
// neither the index (.shx) nor the table (.dbf) is read. The crown layer of a large run does not
// fit comfortably in memory as points (a 3 x 3 block of forest: about a million crowns, 600 MB),
// so opening a file only notes every record's place and box, and the shapes within a box are
// read when they are asked for, in file order through one window of the file.
//
// Polygon, PolygonZ and PolygonM records are taken in the plane; a null record is an empty shape.
// A file that is not a polygon shapefile, a record whose counts do not fit its length, or a
// coordinate that is not a number or beyond a million kilometres, is refused with the reason
// (EPolygonFile).
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "geometry/RingShape.h"
#include "platform/SharedRead.h"

namespace qv {

class EPolygonFile : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct TShapeBox {
  double XMin = 0.0;
  double YMin = 0.0;
  double XMax = 0.0;
  double YMax = 0.0;
};

class TPolygonFile {
 public:
  explicit TPolygonFile(const std::string& path);
  TPolygonFile(const TPolygonFile&) = delete;
  TPolygonFile& operator=(const TPolygonFile&) = delete;

  std::size_t Count() const { return records_.size(); }
  // Every record's shape, in record order.
  std::vector<TRingShape> ReadAll();
  // The shapes of the records whose box meets box (touching it counts), in record order.
  std::vector<TRingShape> ReadWithin(const TShapeBox& box);

 private:
  // A record's place and its box, rounded outwards to floats: 28 bytes instead of the shape.
  struct TRecord {
    std::uint64_t Offset;
    std::uint32_t Bytes;
    float XMin, YMin, XMax, YMax;
  };

  static bool IsNull(const TRecord& r) { return r.XMin > r.XMax; }
  static bool Meets(const TRecord& r, const TShapeBox& box);
  void IndexRecords();
  const std::uint8_t* Fetch(std::uint64_t offset, std::size_t bytes);
  TRingShape Shape(const TRecord& record);

  std::string path_;
  TOpenFile file_;
  std::uint64_t size_ = 0;
  std::vector<TRecord> records_;
  std::vector<std::uint8_t> window_;
  std::uint64_t windowStart_ = 0;
};

}  // namespace qv
