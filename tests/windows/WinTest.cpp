#include "WinTest.h"

namespace qv::wintest {

namespace {

LONG passed = 0;
LONG failed = 0;

CRITICAL_SECTION& PrintLock() {
  struct TLock {
    TLock() { ::InitializeCriticalSection(&section); }
    CRITICAL_SECTION section;
  };
  static TLock lock;
  return lock.section;
}

}  // namespace

void Check(bool ok, const char* expression, const char* file, int line, const std::string& detail) {
  if (ok) {
    ::InterlockedIncrement(&passed);
    return;
  }
  ::InterlockedIncrement(&failed);
  ::EnterCriticalSection(&PrintLock());
  std::printf("FAILED %s:%d: %s %s\n", file, line, expression, detail.c_str());
  std::fflush(stdout);
  ::LeaveCriticalSection(&PrintLock());
}

int Summary(const char* program) {
  std::printf("%s: %ld passed, %ld failed\n", program, passed, failed);
  std::fflush(stdout);
  return failed == 0 && passed > 0 ? 0 : 1;
}

void Abort(const std::string& why) {
  std::printf("ABORTED: %s (%ld passed, %ld failed so far)\n", why.c_str(), passed, failed);
  std::fflush(stdout);
  ::TerminateProcess(::GetCurrentProcess(), 3);
  for (;;) {
  }
}

}  // namespace qv::wintest
