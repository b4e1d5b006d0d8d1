#include "dialog/EventDispatch.h"

#include <string>

namespace qv {

void ShowEscapedException(std::exception_ptr error) noexcept {
  try {
    try {
      std::rethrow_exception(error);
    } catch (const std::exception& e) {
      Platform().ShowMessage(e.what());
    } catch (...) {
      Platform().ShowMessage(UnknownExceptionText);
    }
  } catch (...) {
    // Showing failed too (out of memory): the event is lost, the dialog goes on.
  }
}

}  // namespace qv
