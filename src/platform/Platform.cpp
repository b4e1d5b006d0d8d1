#include "platform/Platform.h"

namespace qv {

namespace {

IPlatform*& Current() {
  static std::unique_ptr<IPlatform> defaultPlatform = CreateDefaultPlatform();
  static IPlatform* current = defaultPlatform.get();
  return current;
}

}  // namespace

IPlatform& Platform() { return *Current(); }

ScopedPlatform::ScopedPlatform(IPlatform& replacement) : previous_(Current()) {
  Current() = &replacement;
}

ScopedPlatform::~ScopedPlatform() { Current() = previous_; }

}  // namespace qv
