#include "platform/SharedRead.h"

#include <share.h>

namespace qv {

std::FILE* OpenSharedRead(const std::string& path) {
  return ::_fsopen(path.c_str(), "rb", _SH_DENYWR);
}

bool SeekFromStart(std::FILE* file, std::uint64_t offset) {
  return ::_fseeki64(file, static_cast<long long>(offset), SEEK_SET) == 0;
}

}  // namespace qv
