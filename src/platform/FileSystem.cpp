// What the safe file operations share on both systems.
#include "platform/FileSystem.h"

#include <cstdio>
#include <ctime>
#include <random>

#ifdef _WIN32
#include "platform/Win32.h"
#else
#include <unistd.h>
#endif

namespace qv {

std::string UniqueRunId() {
#ifdef _WIN32
  const auto pid = static_cast<unsigned long>(::GetCurrentProcessId());
#else
  const auto pid = static_cast<unsigned long>(::getpid());
#endif
  // The process id alone repeats across machines sharing a directory and after restarts.
  static std::mt19937_64 random{std::random_device{}() ^
                                static_cast<std::uint64_t>(std::time(nullptr))};
  char id[32];
  std::snprintf(id, sizeof id, "%lu-%08llx", pid,
                static_cast<unsigned long long>(random() & 0xFFFFFFFFull));
  return id;
}

}  // namespace qv
