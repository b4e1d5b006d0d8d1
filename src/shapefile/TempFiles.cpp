#include "shapefile/TempFiles.h"

#include <string>
#include <string_view>

#include "platform/Paths.h"
#include "shapefile/LayerSet.h"
#include "platform/Platform.h"

namespace qv {

int DeleteTempFiles(const char* path) {
  static constexpr std::string_view Suffixes[] = {
      "_comb.shp", "_comb.dbf", "_comb.shx", "_comb.sbx", "_comb.sbn",
      "_merg.shp", "_merg.dbf", "_merg.shx", "_merg.sbx", "_merg.sbn"};
  const std::string_view base = path != nullptr ? std::string_view(path) : std::string_view();
  // The host cleans up once it is done with the result layers named after the same path: a run
  // killed in the middle of their swap must not leave them mixed for its next look.
  if (!base.empty()) {
    const std::string layers[] = {ReplaceExtension(base, "_w1.shp"),
                                  ReplaceExtension(base, "_w2.shp")};
    RecoverLayers(layers);
  }
  int count = 0;
  for (const std::string_view suffix : Suffixes) {
    const std::string name = ReplaceExtension(base, suffix);
    if (Platform().FileExists(name) && Platform().DeleteFile(name)) ++count;
  }
  return count;
}

}  // namespace qv
