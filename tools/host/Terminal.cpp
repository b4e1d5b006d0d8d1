#include "Terminal.h"

#ifdef _WIN32
#include <io.h>
#define QV_ISATTY _isatty
#define QV_STDERR 2
#else
#include <unistd.h>
#define QV_ISATTY ::isatty
#define QV_STDERR STDERR_FILENO
#endif

namespace qv::host {

TProgressStyle ProgressStyleForStandardError() {
  return QV_ISATTY(QV_STDERR) ? TProgressStyle::InPlace : TProgressStyle::Sparse;
}

}  // namespace qv::host
