#include "geometry/TdObjLst.h"

#include "platform/Format.h"

namespace qv {

std::string ArrayErrorText(TtdArrayError error, std::string_view className,
                             std::string_view operation, std::string_view objName,
                             std::int64_t index) {
  std::string_view pattern;
  switch (error) {
    case TtdArrayError::NilItem:
      pattern = "Cannot have an item that is nil ([%s] %s.%s Objname: %s)";
      break;
    case TtdArrayError::InvalidClass:
      pattern = "Attempted to add an object of an unknown class ([%s] %s.%s Objname: %s index: %d)";
      break;
    case TtdArrayError::IndexOutOfBounds:
      pattern = "Index is out of bounds ([%s] %s.%s Objname: %s index: %d)";
      break;
  }
  return Format(pattern, {std::string_view("TDObjLst"), className, operation, objName, index});
}

void RaiseArrayError(TtdArrayError error, std::string_view className, std::string_view operation,
                     std::string_view objName, std::int64_t index) {
  throw EtdArrayException(ArrayErrorText(error, className, operation, objName, index));
}

}  // namespace qv
