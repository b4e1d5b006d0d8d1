// The settings file on POSIX, read and replaced as a whole (Windows has its profile API).
//
// Reading opens only a regular file and never waits (a FIFO or device counts as unreadable).
// Writing keeps the user's file safe:
// - a file that exists but cannot be read, or is not a regular file, is never replaced: the
//   write fails, since replacing it would lose what it holds;
// - a read-only file (no write permission for anyone, or none for this process) is refused;
// - a symbolic link is written through: its target is replaced, the link stays;
// - the new text goes to a temporary file beside the target with the target's permissions,
//   owner and group, is synced, and renamed over it in one step;
// - writers of the same file take turns under a lock file beside it, so none loses the keys
//   of another; under that lock the temporaries of writers that were killed are removed.
#pragma once

#include <span>
#include <string>

#include "platform/Platform.h"

namespace qv {

void ReadIniFile(const std::string& path, std::span<TIniEntry> entries);

// On failure false, the file as it was, and error set to "Unable to write to PATH: reason".
bool WriteIniFile(const std::string& path, std::span<const TIniEntry> entries,
                  std::string& error);

}  // namespace qv
