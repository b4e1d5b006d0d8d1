// One run as the host's call makes it: the dialog created, the extent and the shapefile path
// handed in, the dialog shown (the batch way), closed and released, and its result returned.
#pragma once

#include <cstdint>
#include <string_view>

#include "dialog/BatchView.h"

namespace qv {

// The host layout that the entry point always announces: the layers go beside the shapefile.
inline constexpr double HostLayoutVersion = 3.3;

// The text of the error box for an exception that reaches the entry point, in French whatever
// the language of the run.
inline constexpr std::string_view LibraryErrorText = "Erreur dans le DLL quelvaris";

// Shows LibraryErrorText in an error box (nothing escapes, not even from the box) and returns 0,
// the result of a call that an exception ended.
std::int32_t ReportLibraryError() noexcept;

// RunResult of the dialog: -1 closed without calculating, 0 no calculation completed (or an
// exception reached this level: the error box is shown), 1..4 the status of a completed run. A
// null path counts as an empty one. Throws nothing.
std::int32_t RunQuelvaris(std::int32_t xMin, std::int32_t xMax, std::int32_t yMin,
                          std::int32_t yMax, const char* shapefilePath,
                          const TBatchOptions& options) noexcept;

}  // namespace qv
