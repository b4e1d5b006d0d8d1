#include "platform/FileFaults.h"

#include <utility>

#include "platform/WorkerThread.h"

namespace qv {

namespace {

TFileFaultHook& Hook() {
  static TFileFaultHook hook;
  return hook;
}

}  // namespace

bool FileStepAllowed(TFileStep step, const std::string& path) {
  // The layers of a run are written on two threads; a test's hook counts their steps one at a
  // time.
  static TMonitor monitor;
  const TMonitorLock lock(monitor);
  const TFileFaultHook& hook = Hook();
  return !hook || hook(step, path);
}

TScopedFileFaults::TScopedFileFaults(TFileFaultHook hook) : previous_(std::move(Hook())) {
  Hook() = std::move(hook);
}

TScopedFileFaults::~TScopedFileFaults() { Hook() = std::move(previous_); }

}  // namespace qv
