// The user's locale as POSIX programs find it, mapped to the Windows locale identifiers that
// the language choice works with.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace qv {

// The locale name that governs messages: LC_ALL, then LC_MESSAGES, then LANG (the first that
// is set and not empty). Env is a getenv-like lookup (empty for unset).
std::string MessagesLocaleName(const std::function<std::string(const char*)>& env);

// A Windows locale identifier for a POSIX locale name ("fr_CH.UTF-8" gives 0x100C, any name
// starting "fr" is French). Unknown or empty names give 0x409 (English, United States).
std::uint32_t LocaleIdFromName(std::string_view name);

}  // namespace qv
