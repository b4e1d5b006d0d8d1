// Texts of this folder composed from catalogue entries.
#pragma once

#include <string>

namespace qv {

// A binary grid ends inside rows that have to be skipped to reach the tile's rows.
std::string UnexpectedEndOfDataText(const std::string& fileName);

}  // namespace qv
