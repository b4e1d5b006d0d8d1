#include "calculation/CalculationTexts.h"

#include <cstdint>

#include "catalogue/Languages.h"
#include "platform/Format.h"

namespace qv {

std::string UnknownFiletypeText(int filetype) {
  return Format(Msg(msgUnknownFiletype), {std::int64_t{filetype}});
}

std::string UnexpectedEndOfDataText(const std::string& fileName) {
  return Format(Msg(msgUnexpectedEndOfData), {std::string_view(fileName)});
}

}  // namespace qv
