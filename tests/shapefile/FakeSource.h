// A layer given as plain records, for driving the writer without a geometry model.
#pragma once

#include <cmath>
#include <numbers>
#include <set>
#include <vector>

#include "shapefile/ShapeFile.h"

namespace qv::test {

class FakeSource final : public TRecordSource {
 public:
  struct Record {
    TRecordShape shape;
    TRecordAttributes attributes;
    bool broken = false;
  };
  std::vector<Record> records;
  bool heights = false;
  std::int64_t claimedCount = -1;  // >= 0: pretend to hold this many copies of record 0

  std::int64_t Count() const override {
    return claimedCount >= 0 ? claimedCount : static_cast<std::int64_t>(records.size());
  }
  bool HasHeights() const override { return heights; }
  bool Shape(std::int64_t i, TRecordShape& shape) const override {
    const Record& r = At(i);
    if (r.broken) return false;
    shape = r.shape;
    return true;
  }
  TRecordAttributes Attributes(std::int64_t i) const override { return At(i).attributes; }

  // A crown circle as the crown model makes it (counter-clockwise from angle 0), written from
  // its easternmost point clockwise and closed.
  void AddCircle(double cx, double cy, double r, int n, double height) {
    Record rec;
    std::vector<T2DPoint> ccw;
    for (int i = 0; i < n; ++i) {
      const double a = 2 * std::numbers::pi * i / n;
      ccw.emplace_back(cx + r * std::cos(a), cy + r * std::sin(a));
    }
    rec.shape.BeginPart();
    rec.shape.Points.push_back(ccw[0]);
    for (int i = n - 1; i >= 0; --i) rec.shape.Points.push_back(ccw[static_cast<std::size_t>(i)]);
    double minX = ccw[0].X, maxX = minX, minY = ccw[0].Y, maxY = minY;
    for (const auto& p : ccw) {
      minX = std::min(minX, p.X);
      maxX = std::max(maxX, p.X);
      minY = std::min(minY, p.Y);
      maxY = std::max(maxY, p.Y);
    }
    rec.shape.Box.SetBounds(minX, maxY, maxX, minY);
    rec.attributes = {true, std::numbers::pi * r * r, heights, height};
    records.push_back(rec);
  }

 private:
  const Record& At(std::int64_t i) const {
    return records[claimedCount >= 0 ? 0 : static_cast<std::size_t>(i)];
  }
};

}  // namespace qv::test
