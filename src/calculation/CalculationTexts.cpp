#include "calculation/CalculationTexts.h"

#include <cstdint>

#include "catalogue/Languages.h"
#include "platform/Format.h"

namespace qv {

std::string UnexpectedEndOfDataText(const std::string& fileName) {
  return Format(Msg(msgUnexpectedEndOfData), {std::string_view(fileName)});
}

}  // namespace qv
