// The 100-byte header shared by the main file (.shp) and the index file (.shx).
#pragma once

#include <cstdint>

#include "geometry/Rect.h"
#include "shapefile/ByteOrder.h"

namespace qv {

inline constexpr std::int32_t ShapeFileCode = 9994;
inline constexpr std::int32_t ShapeFileVersion = 1000;
inline constexpr std::int32_t ShapeTypePolygon = 5;
inline constexpr std::int32_t ShapeHeaderWords = 50;
inline constexpr std::size_t ShapeHeaderBytes = 100;

struct TShapeHeader {
  std::int32_t FileCode = ShapeFileCode;
  std::int32_t FileLength = ShapeHeaderWords;  // whole file in 16-bit words, header included
  std::int32_t Version = ShapeFileVersion;
  std::int32_t ShapeType = ShapeTypePolygon;
  double Xmin = 0.0;
  double Ymin = 0.0;
  double Xmax = 0.0;
  double Ymax = 0.0;
  double Zmin = 0.0;
  double Zmax = 0.0;
  double Mmin = 0.0;
  double Mmax = 0.0;

  void SetBox(const T2DRect& box) {
    Xmin = box.Left;
    Ymin = box.Bottom;
    Xmax = box.Right;
    Ymax = box.Top;
  }

  // The header as it stands in the file: FileCode and FileLength big-endian, the rest
  // little-endian.
  TBytes Encode() const;
};

}  // namespace qv
