// One run as the host's call makes it: the dialog created, the extent and the shapefile path
// handed in, the dialog shown (the batch way), closed and released, and its result returned.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "dialog/BatchView.h"
#include "dialog/InterfaceUnit.h"

namespace qv {

// The host layout that the entry point always announces: the layers go beside the shapefile.
inline constexpr double HostLayoutVersion = 3.3;

// The text of the error box for an exception that reaches the entry point, in French whatever
// the language of the run.
inline constexpr std::string_view LibraryErrorText = "Erreur dans le DLL quelvaris";

// Shows LibraryErrorText in an error box (nothing escapes, not even from the box) and returns 0,
// the result of a call that an exception ended.
std::int32_t ReportLibraryError() noexcept;

// The dialog of one call, as every view of the entry point starts it: the extent, a copy of the
// path (a null path counts as an empty one) and HostLayoutVersion filled in.
std::unique_ptr<TInterfaceForm> CreateRunForm(std::int32_t xMin, std::int32_t xMax,
                                              std::int32_t yMin, std::int32_t yMax,
                                              const char* shapefilePath);

// RunResult of the dialog: -1 closed without calculating, 0 no calculation completed (or an
// exception reached this level: the error box is shown), 1..4 the status of a completed run. A
// null path counts as an empty one. Throws nothing.
std::int32_t RunQuelvaris(std::int32_t xMin, std::int32_t xMax, std::int32_t yMin,
                          std::int32_t yMax, const char* shapefilePath,
                          const TBatchOptions& options) noexcept;

// Whether RunQuelvaris with these options would stop before calculating because of its edits:
// the reason for the first edit that cannot be made, or for a number typed by an edit that
// Calculate would refuse (worded as the batch view names it). Checked on a dialog set up as the
// run's will be, which shows nothing and writes nothing. Nothing when the run may go ahead.
std::optional<std::string> CheckBatchEdits(std::int32_t xMin, std::int32_t xMax,
                                           std::int32_t yMin, std::int32_t yMax,
                                           const char* shapefilePath,
                                           const TBatchOptions& options) noexcept;

}  // namespace qv
