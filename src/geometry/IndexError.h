// EtdArrayException: an index that no item of a geometry list has, or a nil item offered to one.
//
// Such a call is a fault of the code, never of the data; the dialog shows the exception's text,
// so the text names the list and the operation that were misused.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string_view>

namespace qv {

class EtdArrayException : public std::out_of_range {
 public:
  using std::out_of_range::out_of_range;
};

// "Index is out of bounds ([Geometry] T2DPolygons.Circle index: 5)"; `where` is the class and
// the operation, "T2DPolygons.Circle".
[[noreturn]] void RaiseIndexError(std::string_view where, std::int64_t index);
// "Cannot have an item that is nil ([Geometry] T2DEdgelist.AppendInnerRing)".
[[noreturn]] void RaiseNilItem(std::string_view where);

}  // namespace qv
