#include "dialog/win32/RunWindowed_win32.h"

#include "dialog/Run.h"
#include "dialog/win32/InterfaceWindow_win32.h"

namespace qv {

std::int32_t RunQuelvarisWindowed(std::int32_t xMin, std::int32_t xMax, std::int32_t yMin,
                                  std::int32_t yMax, const char* shapefilePath) noexcept {
  try {
    // Released on every way out of here, the exceptional ones included.
    const auto form = CreateRunForm(xMin, xMax, yMin, yMax, shapefilePath);
    ShowModalWindow(*form);
    return form->RunResult;
  } catch (...) {
    return ReportLibraryError();
  }
}

}  // namespace qv
