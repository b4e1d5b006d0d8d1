#include "dialog/Run.h"

#include <algorithm>
#include <iostream>
#include <sstream>
#include <stdexcept>

#include "catalogue/Message.h"
#include "dialog/BatchPlatform.h"

namespace qv {

std::int32_t ReportLibraryError() noexcept {
  try {
    Platform().Show({MsgName(msgLibraryError), TMessageKind::Error, LibraryErrorText, {}});
  } catch (...) {
    // Nothing more can be shown; the result still tells the host that nothing was computed.
  }
  return 0;
}

std::unique_ptr<TInterfaceForm> CreateRunForm(std::int32_t xMin, std::int32_t xMax,
                                              std::int32_t yMin, std::int32_t yMax,
                                              const char* shapefilePath) {
  auto form = std::make_unique<TInterfaceForm>();
  form->XMin = xMin;
  form->XMax = xMax;
  form->YMin = yMin;
  form->YMax = yMax;
  form->ShapefilePath = shapefilePath != nullptr ? shapefilePath : "";
  form->LayoutVersion = HostLayoutVersion;
  return form;
}

std::int32_t RunQuelvaris(std::int32_t xMin, std::int32_t xMax, std::int32_t yMin,
                          std::int32_t yMax, const char* shapefilePath,
                          const TBatchOptions& options) noexcept {
  try {
    TConsoleOutput console(options.Output != nullptr ? *options.Output : std::cerr,
                           options.Progress);
    TBatchPlatform platform(Platform(), options.Answer, console, options.Observer);
    const ScopedPlatform scope(platform);
    try {
      // Released on every way out of here, the exceptional ones included.
      const auto form = CreateRunForm(xMin, xMax, yMin, yMax, shapefilePath);
      ShowModalBatch(*form, options, console);
      return form->RunResult;
    } catch (...) {
      return ReportLibraryError();
    }
  } catch (...) {
    return ReportLibraryError();
  }
}

std::optional<std::string> CheckBatchEdits(std::int32_t xMin, std::int32_t xMax,
                                           std::int32_t yMin, std::int32_t yMax,
                                           const char* shapefilePath,
                                           const TBatchOptions& options) noexcept {
  try {
    // Whatever the dry run would show is kept here: only the reason is wanted.
    std::ostringstream shown;
    TConsoleOutput console(shown, TProgressStyle::None);
    TBatchPlatform platform(Platform(), options.Answer, console);
    const ScopedPlatform scope(platform);
    const auto form = CreateRunForm(xMin, xMax, yMin, yMax, shapefilePath);
    form->SaveSettingsOnClose = false;
    form->NameRefusedFields = true;
    form->FormActivate();
    std::optional<std::string> reason;
    for (const TControlEdit& edit : options.Edits) {
      try {
        ApplyControlEdit(*form, edit);
      } catch (const std::invalid_argument& e) {
        reason = e.what();
        break;
      }
    }
    // Cancel would store what Calculate refuses as little as Calculate would use it.
    if (!reason) {
      shown.str("");
      const TControlId refused = form->HandOverNumbers();
      const bool edited = std::any_of(options.Edits.begin(), options.Edits.end(),
                                      [&](const TControlEdit& e) {
                                        return ControlByName(e.Name) == refused;
                                      });
      // A stored value refused without an edit is the run's to report.
      if (refused != TControlId::None && edited) {
        reason = shown.str();
        while (!reason->empty() && reason->back() == '\n') reason->pop_back();
      }
    }
    form->Close();
    return reason;
  } catch (...) {
    // The run itself will meet the same failure and report it.
    return std::nullopt;
  }
}

}  // namespace qv
