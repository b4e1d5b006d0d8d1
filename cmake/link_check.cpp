// Links the core for Windows so that a symbol missing on that side (a platform method, a
// system function, a library not named) fails the cross build at once instead of first in
// the DLL. Run under Wine it also shows that the catalogue and the platform work there.
#include <cstdio>
#include <cstdint>

#include "catalogue/Languages.h"
#include "platform/Format.h"
#include "platform/Paths.h"
#include "platform/Platform.h"

int main() {
  using namespace qv;
  SetLanguage(ChooseLanguage());
  const std::string progress = Format(Msg(msgTileProgress), {std::int64_t{1}, std::int64_t{50},
                                                             std::int64_t{2}});
  const std::string settings = ReplaceExtension("quelvaris.shp", ".ini");
  const auto format = Platform().NumberFormat();
  const auto date = Platform().LocalDate();
  std::printf("%s | %s | %s | %04d-%02d-%02d | %s\n", progress.c_str(), settings.c_str(),
              format.DecimalSeparator.c_str(), date.Year, date.Month, date.Day,
              Platform().FileExists(settings) ? "settings found" : "no settings");
  return 0;
}
