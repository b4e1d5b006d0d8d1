#include "platform/FileFaults.h"

#include <utility>

namespace qv {

namespace {

TFileFaultHook& Hook() {
  static TFileFaultHook hook;
  return hook;
}

}  // namespace

bool FileStepAllowed(TFileStep step, const std::string& path) {
  const TFileFaultHook& hook = Hook();
  return !hook || hook(step, path);
}

TScopedFileFaults::TScopedFileFaults(TFileFaultHook hook) : previous_(std::move(Hook())) {
  Hook() = std::move(hook);
}

TScopedFileFaults::~TScopedFileFaults() { Hook() = std::move(previous_); }

}  // namespace qv
