// Helpers of the shapefile tests: a scratch directory, file bytes, and little readers of the
// fields the tests check.
#pragma once

#include <gtest/gtest.h>
#include <shapefil.h>

#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace qv::test {

// A fresh directory per test, removed afterwards; in the system's temporary directory unless
// another base is given.
class ScratchDir {
 public:
  explicit ScratchDir(const std::filesystem::path& base = std::filesystem::temp_directory_path()) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = base /
            ("qv_shp_" + std::string(info->test_suite_name()) + "_" + info->name() + "_" +
             std::to_string(::getpid()));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& Path() const { return path_; }
  // Names of the entries, sorted.
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(path_))
      names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::filesystem::path path_;
};

inline std::vector<std::uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

inline std::int32_t BE32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::int32_t>(std::uint32_t{b.at(at)} << 24 | std::uint32_t{b.at(at + 1)} << 16 |
                                   std::uint32_t{b.at(at + 2)} << 8 | std::uint32_t{b.at(at + 3)});
}
inline std::int32_t LE32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::int32_t>(std::uint32_t{b.at(at + 3)} << 24 | std::uint32_t{b.at(at + 2)} << 16 |
                                   std::uint32_t{b.at(at + 1)} << 8 | std::uint32_t{b.at(at)});
}
inline int LE16(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b.at(at) | b.at(at + 1) << 8;
}
inline double LEDouble(const std::vector<std::uint8_t>& b, std::size_t at) {
  std::uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = v << 8 | b.at(at + static_cast<std::size_t>(i));
  return std::bit_cast<double>(v);
}

// The set as shapelib reads it.
struct ShapeDeleter {
  void operator()(SHPInfo* h) const { SHPClose(h); }
  void operator()(DBFInfo* h) const { DBFClose(h); }
  void operator()(SHPObject* o) const { SHPDestroyObject(o); }
};
using ShpHandle = std::unique_ptr<SHPInfo, ShapeDeleter>;
using DbfHandle = std::unique_ptr<DBFInfo, ShapeDeleter>;
using ShpObject = std::unique_ptr<SHPObject, ShapeDeleter>;

// Twice the signed area of points [from, to) of a shape: negative when they run clockwise.
inline double TwiceSignedArea(const SHPObject& o, int from, int to) {
  double sum = 0;
  for (int k = from; k + 1 < to; ++k)
    sum += (o.padfX[k] + o.padfX[k + 1]) * (o.padfY[k + 1] - o.padfY[k]);
  return sum;
}

inline ShpHandle OpenShp(const std::string& path) { return ShpHandle(SHPOpen(path.c_str(), "rb")); }
inline DbfHandle OpenDbf(const std::string& path) { return DbfHandle(DBFOpen(path.c_str(), "rb")); }

}  // namespace qv::test
