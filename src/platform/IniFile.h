// INI text by section and key, for systems that do not provide it (POSIX).
//
// Sections and keys match without regard to ASCII case; the first line of a key in its section
// counts. Changing keys keeps everything else of the text as it was (other sections, keys,
// comments, blank lines, order). Both operations make one pass over the text whatever the
// number of keys, so a settings file of any size is read and rewritten once.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace qv {

// Sets the value of every entry from the text (nothing when absent); blanks around a value
// are removed.
void IniLookup(std::string_view text, std::span<TIniEntry> entries);

// The text with every entry that has a value set: the key's line replaced in place, or a line
// appended after the last line of its section, or the section appended at the end. A line
// break in a key or value ends it there, so no value can plant keys of its own.
std::string IniAssign(std::string_view text, std::span<const TIniEntry> entries);

}  // namespace qv
