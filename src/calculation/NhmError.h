// The error that ends a run because a tile file cannot be read as a grid: a header value that
// is not a number, or a binary grid that ends inside rows that must be skipped. Its text names
// the file and, where there is one, the offending value.
#pragma once

#include <stdexcept>
#include <string>

namespace qv {

class ENhmError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace qv
