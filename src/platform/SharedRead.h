// Files opened for reading by the readers of height-model tiles and of shapefiles.
//
// Other programs (a GIS showing the same layer) may read such a file meanwhile, but none may
// write it while it is read: on Windows the file is opened deny-write; POSIX has no such mode,
// and a writer there replaces a file by a new one rather than writing into it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace qv {

// A C stream that is closed when it goes (by whom it was opened does not matter).
struct TCloseFile {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using TOpenFile = std::unique_ptr<std::FILE, TCloseFile>;

// The file opened "rb", or null.
std::FILE* OpenSharedRead(const std::string& path);
// Moves to offset bytes from the start, beyond 2 GB as well (32-bit builds included).
bool SeekFromStart(std::FILE* file, std::uint64_t offset);

}  // namespace qv
