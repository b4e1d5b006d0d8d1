// A seam for tests in every step by which the library puts a file of its own in place.
//
// Each step of FileSystem.h (create, write, sync, rename, link, remove, lock) asks here first.
// Normally the answer is yes. A test installs a hook that says no to one step, which then fails
// as a full disk or a file held by another program would (errno EIO on POSIX), or that ends the
// process at that step, as a kill would; it then checks what is left on disk.
#pragma once

#include <functional>
#include <string>

namespace qv {

enum class TFileStep { Create, Write, Sync, Rename, Link, Remove, Lock };

// Returns false to make the step fail.
using TFileFaultHook = std::function<bool(TFileStep step, const std::string& path)>;

// True unless the installed hook refuses the step. Calls from several threads reach the hook one
// at a time.
bool FileStepAllowed(TFileStep step, const std::string& path);

// Installs a hook for the lifetime of the object (one thread; tests only).
class TScopedFileFaults {
 public:
  explicit TScopedFileFaults(TFileFaultHook hook);
  ~TScopedFileFaults();
  TScopedFileFaults(const TScopedFileFaults&) = delete;
  TScopedFileFaults& operator=(const TScopedFileFaults&) = delete;

 private:
  TFileFaultHook previous_;
};

}  // namespace qv
