// A second thread for work that runs beside the caller's, and the lock with one condition that
// the two share.
//
// The library runs on its host's thread; a worker started here is always joined before its
// owner goes, so no thread of ours outlives the call that started it. On Windows this is the
// Win32 API: the runtime is linked statically, and the compiler's win32 thread model has no
// std::thread. Elsewhere it is the standard library.
#pragma once

#include <atomic>
#include <functional>
#include <memory>

namespace qv {

class TMonitor {
 public:
  TMonitor();
  ~TMonitor();
  TMonitor(const TMonitor&) = delete;
  TMonitor& operator=(const TMonitor&) = delete;

  void Lock();
  void Unlock();
  // Called with the lock held: releases it, sleeps until NotifyAll (or spuriously), and takes
  // it again. Callers wait in a loop on their own condition.
  void Wait();
  void NotifyAll();

 private:
  struct TImpl;
  std::unique_ptr<TImpl> impl_;
};

// Holds a monitor's lock for a scope.
class TMonitorLock {
 public:
  explicit TMonitorLock(TMonitor& monitor) : monitor_(monitor) { monitor_.Lock(); }
  ~TMonitorLock() { monitor_.Unlock(); }
  TMonitorLock(const TMonitorLock&) = delete;
  TMonitorLock& operator=(const TMonitorLock&) = delete;

 private:
  TMonitor& monitor_;
};

// A system may have no thread to spare. Every owner of a worker then does the work on its own
// thread, and the run must come out the same; tests make that happen by refusing every worker
// started while one of these lives (from any thread).
class TScopedWorkerRefusal {
 public:
  TScopedWorkerRefusal() { ++Refusals(); }
  ~TScopedWorkerRefusal() { --Refusals(); }
  TScopedWorkerRefusal(const TScopedWorkerRefusal&) = delete;
  TScopedWorkerRefusal& operator=(const TScopedWorkerRefusal&) = delete;

  static bool Active() { return Refusals().load() > 0; }

 private:
  static std::atomic<int>& Refusals() {
    static std::atomic<int> count{0};
    return count;
  }
};

class TWorkerThread {
 public:
  // Runs body on a new thread. Body must not throw. When the system refuses a thread (or a
  // TScopedWorkerRefusal lives), Started is false and body never runs.
  explicit TWorkerThread(std::function<void()> body);
  // Waits for body to return.
  ~TWorkerThread();
  TWorkerThread(const TWorkerThread&) = delete;
  TWorkerThread& operator=(const TWorkerThread&) = delete;

  bool Started() const;

 private:
  struct TImpl;
  std::unique_ptr<TImpl> impl_;
};

}  // namespace qv
