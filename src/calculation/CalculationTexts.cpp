#include "calculation/CalculationTexts.h"

#include <cstdint>

#include "platform/Format.h"

namespace qv {

std::string UnknownFiletypeText(int filetype) {
  return Format(
      "Unknown NHM file type %d: only ASCII grids (0) and binary float grids (1) can "
      "be read.",
      {std::int64_t{filetype}});
}

std::string UnexpectedEndOfDataText(const std::string& fileName) {
  return Format("Unexpected end of data in file \"%s\"", {std::string_view(fileName)});
}

}  // namespace qv
