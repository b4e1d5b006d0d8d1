// INI text files by section and key, for systems that do not provide them (POSIX).
//
// Sections and keys match without regard to ASCII case. A write keeps everything else in the
// file as it was (other sections, keys, comments, blank lines, order) and replaces the file
// atomically through a temporary file and a rename, so a crash never leaves half a file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qv {

// The value of Section/Key in the text of an INI file, or nothing when absent. Blanks around
// the value are removed.
std::optional<std::string> IniLookup(std::string_view text, std::string_view section,
                                     std::string_view key);

// The text of an INI file with Section/Key set to Value: the key's line is replaced in place,
// or appended at the end of its section, or a new section is appended at the end.
std::string IniAssign(std::string_view text, std::string_view section, std::string_view key,
                      std::string_view value);

}  // namespace qv
