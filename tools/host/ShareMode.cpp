#include "ShareMode.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>
#include <ostream>
#include <stdexcept>

#include "HostModes.h"
#include "share/Clip.h"
#include "share/ParcelShares.h"
#include "shapefile/PolygonFile.h"

namespace qv::host {

namespace {

// Which blocks of the share's grid some parcel reaches into: a wood or crown outside all of
// them is not kept in memory.
class TParcelCover {
 public:
  explicit TParcelCover(const std::vector<TRingShape>& parcels) {
    for (const TRingShape& parcel : parcels) {
      if (parcel.Empty()) continue;
      const share::TBox box = share::BoxOf(parcel);
      boxes_.push_back(box);
      extent_ = boxes_.size() == 1 ? box : Union(extent_, box);
    }
  }

  bool Reaches(const TShapeBox& b) const {
    const share::TBox box{b.XMin, b.YMin, b.XMax, b.YMax};
    if (!Touches(extent_, box)) return false;
    for (const share::TBox& parcel : boxes_)
      if (Touches(parcel, box)) return true;
    return false;
  }

 private:
  static bool Touches(const share::TBox& a, const share::TBox& b) {
    return a.XMin <= b.XMax && b.XMin <= a.XMax && a.YMin <= b.YMax && b.YMin <= a.YMax;
  }
  static share::TBox Union(const share::TBox& a, const share::TBox& b) {
    return {std::fmin(a.XMin, b.XMin), std::fmin(a.YMin, b.YMin), std::fmax(a.XMax, b.XMax),
            std::fmax(a.YMax, b.YMax)};
  }

  std::vector<share::TBox> boxes_;
  share::TBox extent_;
};

void WriteTable(const std::string& path, const std::vector<double>& areas) {
  struct TCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  std::unique_ptr<std::FILE, TCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) throw std::runtime_error(path + ": cannot be written");
  char line[64];
  for (std::size_t i = 0; i < areas.size(); ++i) {
    char* end = std::to_chars(line, line + 24, i).ptr;
    *end++ = ' ';
    end = std::to_chars(end, line + sizeof line - 1, areas[i]).ptr;
    *end++ = '\n';
    std::fwrite(line, 1, static_cast<std::size_t>(end - line), file.get());
  }
  if (std::fflush(file.get()) != 0 || std::ferror(file.get()))
    throw std::runtime_error(path + ": cannot be written");
}

}  // namespace

int RunShare(const std::vector<std::string>& files, std::ostream& progress) {
  std::vector<TRingShape> parcels = ReadPolygonFile(files[0], [](const TShapeBox&) { return true; });
  const TParcelCover cover(parcels);
  const auto underParcels = [&](const TShapeBox& box) { return cover.Reaches(box); };
  std::vector<TRingShape> pieces = ReadPolygonFile(files[1], underParcels);
  std::vector<TRingShape> crowns = ReadPolygonFile(files[2], underParcels);
  pieces.reserve(pieces.size() + crowns.size());
  for (TRingShape& crown : crowns) pieces.push_back(std::move(crown));
  crowns = {};
  std::size_t reported = 0;
  const auto areas = share::ParcelCoveredAreas(parcels, pieces, [&](std::size_t done,
                                                                      std::size_t total) {
    // About a hundred lines for the whole, each as soon as it is due.
    if (done * 100 / total != reported * 100 / total || done == total) {
      progress << "progress " << done << ' ' << total << std::endl;
      reported = done;
    }
  });
  WriteTable(files[3], areas);
  return ExitDone;
}

}  // namespace qv::host
