#include "geometry/IndexError.h"

#include "platform/Format.h"

namespace qv {

void RaiseIndexError(std::string_view where, std::int64_t index) {
  throw EtdArrayException(
      Format("Index is out of bounds ([Geometry] %s index: %d)", {where, index}));
}

void RaiseNilItem(std::string_view where) {
  throw EtdArrayException(Format("Cannot have an item that is nil ([Geometry] %s)", {where}));
}

}  // namespace qv
