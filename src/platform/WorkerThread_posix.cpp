#include "platform/WorkerThread.h"

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace qv {

struct TMonitor::TImpl {
  std::mutex Mutex;
  std::condition_variable Condition;
};

TMonitor::TMonitor() : impl_(std::make_unique<TImpl>()) {}
TMonitor::~TMonitor() = default;
void TMonitor::Lock() { impl_->Mutex.lock(); }
void TMonitor::Unlock() { impl_->Mutex.unlock(); }

void TMonitor::Wait() {
  // The caller holds the lock; the unique_lock adopts it and leaves it held.
  std::unique_lock<std::mutex> lock(impl_->Mutex, std::adopt_lock);
  impl_->Condition.wait(lock);
  lock.release();
}

void TMonitor::NotifyAll() { impl_->Condition.notify_all(); }

struct TWorkerThread::TImpl {
  std::thread Thread;
};

TWorkerThread::TWorkerThread(std::function<void()> body) : impl_(std::make_unique<TImpl>()) {
  if (TScopedWorkerRefusal::Active()) return;
  try {
    impl_->Thread = std::thread(std::move(body));
  } catch (const std::system_error&) {
    // No thread: Started() says so and the owner does the work itself.
  }
}

TWorkerThread::~TWorkerThread() {
  if (impl_->Thread.joinable()) impl_->Thread.join();
}

bool TWorkerThread::Started() const { return impl_->Thread.joinable(); }

}  // namespace qv
