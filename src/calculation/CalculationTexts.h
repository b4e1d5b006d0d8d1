// Texts of this folder composed from catalogue entries.
#pragma once

#include <string>

namespace qv {

// A settings file can hold a file type index other than ASCII (0) and binary (1).
std::string UnknownFiletypeText(int filetype);

// A binary grid ends inside rows that have to be skipped to reach the tile's rows.
std::string UnexpectedEndOfDataText(const std::string& fileName);

}  // namespace qv
