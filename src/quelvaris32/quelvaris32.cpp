// The library's two exports, the whole contract with the GIS host.
//
// Only these two symbols are visible (the version script hides everything else, the C++
// runtime's and the core's included), and no C++ exception ever leaves them: a host written in
// another language has no way to catch one.
#include <unistd.h>

#include <cstdint>

#include "dialog/Run.h"
#include "shapefile/TempFiles.h"

#define QV_EXPORT extern "C" __attribute__((visibility("default")))

// One complete run: the parameter dialog over the extent, the calculation when the user
// presses it, the settings written; returns -1, 0 or the run's status 1..4. Without a window
// system the dialog runs the batch way: Calculate pressed, the missing-tiles prompt answered
// Yes, and Cancel if the dialog is still open; messages and progress go to standard error.
QV_EXPORT std::int32_t quelvaris(std::int32_t xMin, std::int32_t xMax, std::int32_t yMin,
                                 std::int32_t yMax, const char* shapefilePath) noexcept {
  try {
    qv::TBatchOptions options;
    options.Progress =
        ::isatty(STDERR_FILENO) ? qv::TProgressStyle::InPlace : qv::TProgressStyle::Sparse;
    return qv::RunQuelvaris(xMin, xMax, yMin, yMax, shapefilePath, options);
  } catch (...) {
    return 0;
  }
}

// Deletes the host's temporary "_comb" and "_merg" layers named after path; returns how many
// files went (0 to 10). A null pointer counts as an empty path.
QV_EXPORT std::int32_t delete_temp_files(const char* path) noexcept {
  try {
    return qv::DeleteTempFiles(path);
  } catch (...) {
    return 0;
  }
}
