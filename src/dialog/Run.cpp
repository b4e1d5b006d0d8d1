#include "dialog/Run.h"

#include <iostream>
#include <memory>
#include <string>

#include "dialog/BatchPlatform.h"

namespace qv {

std::int32_t ReportLibraryError() noexcept {
  try {
    Platform().ShowError(LibraryErrorText);
  } catch (...) {
    // Nothing more can be shown; the result still tells the host that nothing was computed.
  }
  return 0;
}

namespace {

std::int32_t RunDialog(std::int32_t xMin, std::int32_t xMax, std::int32_t yMin, std::int32_t yMax,
                       const char* shapefilePath, const TBatchOptions& options,
                       TConsoleOutput& console) {
  // Released on every way out of here, the exceptional ones included.
  const auto form = std::make_unique<TInterfaceForm>();
  form->XMin = xMin;
  form->XMax = xMax;
  form->YMin = yMin;
  form->YMax = yMax;
  form->ShapefilePath = shapefilePath != nullptr ? shapefilePath : "";
  form->LayoutVersion = HostLayoutVersion;
  ShowModalBatch(*form, options, console);
  return form->RunResult;
}

}  // namespace

std::int32_t RunQuelvaris(std::int32_t xMin, std::int32_t xMax, std::int32_t yMin,
                          std::int32_t yMax, const char* shapefilePath,
                          const TBatchOptions& options) noexcept {
  try {
    TConsoleOutput console(options.Output != nullptr ? *options.Output : std::cerr,
                           options.Progress);
    TBatchPlatform platform(Platform(), options.Answer, console);
    const ScopedPlatform scope(platform);
    try {
      return RunDialog(xMin, xMax, yMin, yMax, shapefilePath, options, console);
    } catch (...) {
      return ReportLibraryError();
    }
  } catch (...) {
    return ReportLibraryError();
  }
}

}  // namespace qv
