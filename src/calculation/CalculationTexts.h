// Texts of this folder that are not catalogue entries yet. They are English for now; each is
// meant to become a catalogue entry in the three languages, and only this file changes then.
#pragma once

#include <string>

namespace qv {

// A settings file can hold a file type index other than ASCII (0) and binary (1).
std::string UnknownFiletypeText(int filetype);

// A binary grid ends inside rows that have to be skipped to reach the tile's rows.
std::string UnexpectedEndOfDataText(const std::string& fileName);

}  // namespace qv
