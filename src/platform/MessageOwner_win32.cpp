#include "platform/platform_win32.h"

namespace qv {

namespace {

// Per thread: a dialog owns the boxes of its own thread only.
thread_local HWND registeredOwner = nullptr;

}  // namespace

HWND MessageOwner() noexcept {
  if (registeredOwner != nullptr && ::IsWindow(registeredOwner)) return registeredOwner;
  return ::GetActiveWindow();
}

TScopedMessageOwner::TScopedMessageOwner(HWND owner) noexcept : previous_(registeredOwner) {
  registeredOwner = owner;
}

TScopedMessageOwner::~TScopedMessageOwner() { registeredOwner = previous_; }

HINSTANCE ThisModule() noexcept {
  HMODULE module = nullptr;
  ::GetModuleHandleExA(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCSTR>(&ThisModule), &module);
  return module;
}

}  // namespace qv
