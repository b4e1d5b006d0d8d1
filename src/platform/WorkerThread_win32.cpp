#include "platform/WorkerThread.h"

#include <process.h>

#include <cstdint>

#include "platform/Win32.h"

namespace qv {

struct TMonitor::TImpl {
  SRWLOCK Lock = SRWLOCK_INIT;
  CONDITION_VARIABLE Condition = CONDITION_VARIABLE_INIT;
};

TMonitor::TMonitor() : impl_(std::make_unique<TImpl>()) {}
TMonitor::~TMonitor() = default;
void TMonitor::Lock() { AcquireSRWLockExclusive(&impl_->Lock); }
void TMonitor::Unlock() { ReleaseSRWLockExclusive(&impl_->Lock); }
void TMonitor::Wait() { SleepConditionVariableSRW(&impl_->Condition, &impl_->Lock, INFINITE, 0); }
void TMonitor::NotifyAll() { WakeAllConditionVariable(&impl_->Condition); }

struct TWorkerThread::TImpl {
  std::function<void()> Body;
  HANDLE Thread = nullptr;

  static unsigned __stdcall Run(void* self) {
    static_cast<TImpl*>(self)->Body();
    return 0;
  }
};

TWorkerThread::TWorkerThread(std::function<void()> body) : impl_(std::make_unique<TImpl>()) {
  if (TScopedWorkerRefusal::Active()) return;
  impl_->Body = std::move(body);
  // The body lives in impl_, which stays where it is until the thread has been joined. The C
  // runtime's own start function, so that the thread may use the runtime's files and heap; a
  // small stack, since a 32-bit host has little address space to spare.
  constexpr unsigned StackBytes = 256 * 1024;
  const std::uintptr_t handle = _beginthreadex(nullptr, StackBytes, &TImpl::Run, impl_.get(),
                                               STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  impl_->Thread = reinterpret_cast<HANDLE>(handle);
}

TWorkerThread::~TWorkerThread() {
  if (impl_->Thread == nullptr) return;
  WaitForSingleObject(impl_->Thread, INFINITE);
  CloseHandle(impl_->Thread);
}

bool TWorkerThread::Started() const { return impl_->Thread != nullptr; }

}  // namespace qv
