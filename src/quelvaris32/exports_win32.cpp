// The DLL's two exports, the whole contract with the GIS host, and its load hook.
//
// No C++ exception ever leaves an export: the host is not written in C++ and has no way to
// catch one. On 32 bits the exports use stdcall, the convention of the host's bindings; the
// .def file exports them under their plain names.
#include <cstdint>

#include "dialog/win32/RunWindowed_win32.h"
#include "platform/platform_win32.h"
#include "shapefile/TempFiles.h"

// One complete run: the parameter dialog over the extent as a modal window, the calculation
// when the user presses it, the settings written; returns -1, 0 or the run's status 1..4.
extern "C" std::int32_t __stdcall quelvaris(std::int32_t xMin, std::int32_t xMax, std::int32_t yMin,
                                            std::int32_t yMax, const char* shapefilePath) noexcept {
  return qv::RunQuelvarisWindowed(xMin, xMax, yMin, yMax, shapefilePath);
}

// Deletes the host's temporary "_comb" and "_merg" layers named after path; returns how many
// files went (0 to 10). A null pointer counts as an empty path.
extern "C" std::int32_t __stdcall delete_temp_files(const char* path) noexcept {
  try {
    return qv::DeleteTempFiles(path);
  } catch (...) {
    return 0;
  }
}

// Loading does no work of its own but one: the language of every run follows the locale of
// the thread that loaded the library, the host's UI thread.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) qv::RecordLoadLocale(::GetThreadLocale());
  return TRUE;
}
