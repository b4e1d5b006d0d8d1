#include "ShareMode.h"

#include <charconv>
#include <cstdio>
#include <ostream>
#include <stdexcept>

#include "EventStream.h"
#include "HostModes.h"
#include "platform/SharedRead.h"
#include "share/ParcelShares.h"
#include "shapefile/PolygonFile.h"

namespace qv::host {

namespace {

void WriteTable(const std::string& path, const std::vector<double>& areas) {
  const TOpenFile file(std::fopen(path.c_str(), "wb"));
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

int RunShare(const std::vector<std::string>& files, bool events, std::ostream& out,
             std::ostream& progress) {
  std::vector<TRingShape> parcels = TPolygonFile(files[0]).ReadAll();
  TPolygonFile woods(files[1]);
  TPolygonFile crowns(files[2]);
  const auto within = [&](const share::TBandBox& band) {
    const TShapeBox box{band.XMin, band.YMin, band.XMax, band.YMax};
    std::vector<TRingShape> pieces = woods.ReadWithin(box);
    for (TRingShape& crown : crowns.ReadWithin(box)) pieces.push_back(std::move(crown));
    return pieces;
  };
  std::size_t reported = 0;
  const auto areas = share::ParcelCoveredAreas(parcels, within, [&](std::size_t done,
                                                                      std::size_t total) {
    // About a hundred lines for the whole, each as soon as it is due.
    if (done * 100 / total != reported * 100 / total || done == total) {
      if (events) {
        TEventStream(out).ShareProgress(done, total);
      } else {
        progress << "progress " << done << ' ' << total << std::endl;
      }
      reported = done;
    }
  });
  WriteTable(files[3], areas);
  if (events) TEventStream(out).Result(1);
  return ExitDone;
}

}  // namespace qv::host
