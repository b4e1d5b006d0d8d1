// How a view runs the dialog's event handlers: as the toolkit's message loop does, an exception
// that escapes a handler is shown with its own text and the dialog stays open.
#pragma once

#include <exception>
#include <string_view>

#include "platform/Platform.h"

namespace qv {

// Shown for an exception that carries no text of its own.
inline constexpr std::string_view UnknownExceptionText = "Unknown exception";

void ShowEscapedException(std::exception_ptr error) noexcept;

template <class Handler>
void DispatchEvent(Handler&& handler) noexcept {
  try {
    handler();
  } catch (...) {
    ShowEscapedException(std::current_exception());
  }
}

}  // namespace qv
