// What the shapefile tests share: the numbers of a written file read at their offsets, and small
// meshes built with the geometry model's own operations.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "TempDir.h"
#include "geometry/PolygonMesh.h"

namespace qv::test {

// The names in the directory, sorted.
inline std::vector<std::string> Entries(const TTempDir& dir) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir.Prefix())) names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

// The n-byte number at a file offset.
inline std::uint64_t NumberAt(const std::string& b, std::size_t at, int n, bool bigEndian) {
  std::uint64_t v = 0;
  for (int i = 0; i < n; ++i)
    v = v << 8 | static_cast<std::uint8_t>(b.at(at + static_cast<std::size_t>(bigEndian ? i : n - 1 - i)));
  return v;
}
inline std::int32_t BE32(const std::string& b, std::size_t at) {
  return static_cast<std::int32_t>(NumberAt(b, at, 4, true));
}
inline std::int32_t LE32(const std::string& b, std::size_t at) {
  return static_cast<std::int32_t>(NumberAt(b, at, 4, false));
}
inline double LEDouble(const std::string& b, std::size_t at) {
  return std::bit_cast<double>(NumberAt(b, at, 8, false));
}

// Record i of a .dbf file, its deletion blank included.
inline std::string DbfRecord(const std::string& dbf, std::size_t i) {
  const std::size_t header = NumberAt(dbf, 8, 2, false), length = NumberAt(dbf, 10, 2, false);
  return dbf.substr(header + i * length, length);
}

// Text right-aligned in a field of the given width, as dBase numbers stand.
inline std::string Field(const std::string& text, std::size_t width) {
  return std::string(width - text.size(), ' ') + text;
}

// A square of side s at (x, y), counter-clockwise along Next (an outer ring) or clockwise (a hole).
inline TEdgeId BuildSquare(T2DPolygonMesh& m, TPolygonId p, double x, double y, double s, bool ccw) {
  const TEdgeId first = ccw ? m.StartRing(p, x, y, x + s, y) : m.StartRing(p, x, y, x, y + s);
  m.InsertPointAfter(m.InsertPointAfter(first, x + s, y + s), ccw ? x : x + s, ccw ? y + s : y);
  return first;
}

inline TPolygonId AddSquarePolygon(T2DPolygonMesh& m, double x, double y, double s, double area,
                                   bool wooded = true) {
  const TPolygonId p = m.AddPolygon();
  BuildSquare(m, p, x, y, s, true);
  m[p].Area = area;
  m[p].IsWooded = wooded;
  return p;
}

// The hole's cycle is built on a helper polygon and moved to a ring of its own, much as the row
// pass hands a closed hole over.
inline TRingId AddSquareHole(T2DPolygonMesh& m, TPolygonId p, double x, double y, double s) {
  const TPolygonId helper = m.AddPolygon();
  const TEdgeId first = BuildSquare(m, helper, x, y, s, false);
  const TRingId hole = m.CreateRing();
  EXPECT_EQ(m.RebuildRingFrom(hole, first, 100), 4);
  m[hole].FirstEdge = first;
  m.AddInnerRing(p, hole);
  m.DeletePolygon(m.PolygonCount() - 1);
  return hole;
}

}  // namespace qv::test
