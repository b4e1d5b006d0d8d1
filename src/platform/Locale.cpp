#include "platform/Locale.h"

#include <array>

namespace qv {

std::string MessagesLocaleName(const std::function<std::string(const char*)>& env) {
  for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    std::string value = env(var);
    if (!value.empty()) return value;
  }
  return {};
}

namespace {

struct LocaleEntry {
  std::string_view language;  // two lower-case letters
  std::string_view country;   // two upper-case letters, empty for the language's default
  std::uint32_t id;
};

// Enough of the Windows table for the languages our users work in; the primary language (low
// 10 bits) is what counts.
constexpr std::array<LocaleEntry, 14> kLocales{{
    {"fr", "", 0x040C},
    {"fr", "FR", 0x040C},
    {"fr", "BE", 0x080C},
    {"fr", "CA", 0x0C0C},
    {"fr", "CH", 0x100C},
    {"fr", "LU", 0x140C},
    {"de", "", 0x0407},
    {"de", "CH", 0x0807},
    {"de", "AT", 0x0C07},
    {"it", "", 0x0410},
    {"it", "CH", 0x0810},
    {"en", "", 0x0409},
    {"en", "GB", 0x0809},
    {"rm", "", 0x0417},
}};

}  // namespace

std::uint32_t LocaleIdFromName(std::string_view name) {
  if (name.size() < 2) return 0x409;
  const auto language = name.substr(0, 2);
  std::string_view country;
  if (name.size() >= 5 && (name[2] == '_' || name[2] == '-')) country = name.substr(3, 2);
  std::uint32_t fallback = 0;
  for (const auto& e : kLocales) {
    if (e.language != language) continue;
    if (e.country == country) return e.id;
    if (e.country.empty()) fallback = e.id;
  }
  return fallback != 0 ? fallback : 0x409;
}

}  // namespace qv
