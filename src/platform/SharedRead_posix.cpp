#include "platform/SharedRead.h"

#include <sys/types.h>

#include <limits>

namespace qv {

std::FILE* OpenSharedRead(const std::string& path) { return std::fopen(path.c_str(), "rb"); }

bool SeekFromStart(std::FILE* file, std::uint64_t offset) {
  // A 32-bit off_t cannot name the place: refused rather than wrapped to another one.
  if (offset > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) return false;
  return ::fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
}

}  // namespace qv
