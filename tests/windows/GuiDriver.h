// Drives the windows of the thread under test from a second thread, the way a user would:
// keys and characters go into the message queue of the focused control, buttons are clicked,
// and every wait has a time limit after which the whole program ends with a message.
#pragma once

#include <functional>
#include <string>

#include "platform/Win32.h"

namespace qv::wintest {

// Seconds that a window gets to appear or a message to be handled.
inline constexpr DWORD kWaitMs = 20000;

// Runs fn on a thread of its own (the default mingw thread model has no std::thread).
class TThread {
 public:
  explicit TThread(std::function<void()> fn);
  // Joins; the thread under test must keep handling messages until then (JoinPumping).
  ~TThread();
  // Handles this thread's messages until the driver has finished.
  void JoinPumping();
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

 private:
  static DWORD WINAPI Start(LPVOID self);
  std::function<void()> fn_;
  HANDLE handle_ = nullptr;
};

// The visible top-level dialog (class #32770) of thread whose title starts with prefix; waits
// for it.
HWND WaitForDialog(DWORD thread, const std::string& titlePrefix = {});
// The visible dialog of thread that contains a control with the given id; waits for it.
HWND WaitForDialogWith(DWORD thread, int controlId);
// The visible dialog (a message box, a prompt) of thread that owner owns; waits for it.
HWND WaitForOwnedDialog(DWORD thread, HWND owner);
// Waits until hwnd is gone.
void WaitUntilDestroyed(HWND hwnd);
// Waits for a condition checked every few milliseconds; false after timeoutMs.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = kWaitMs);

std::string TextOf(HWND hwnd);
// From the window's style: Wine's IsWindowEnabled misreports windows of other threads.
bool IsEnabled(HWND hwnd);
HWND FocusOf(DWORD thread);

// The focused control of thread gets the key or the text, through the queue of that thread
// (processed by its modal loop with the dialog manager's keyboard rules); waits until it is
// handled.
void PressKeyInFocus(DWORD thread, WORD virtualKey);
void TypeInFocus(DWORD thread, const std::string& text);
void ClickButton(HWND button);
// Sends what a click of the close box sends.
void ClickCloseBox(HWND window);
// Handles the calling thread's messages until object is signalled (or kWaitMs passed).
void WaitPumping(HANDLE object, DWORD timeoutMs = kWaitMs);

// A visible top-level window of the thread under test, as the GIS host's main window.
HWND CreateHostWindow(const char* title);

// The thread under test creates this window before it enters its modal loops; through it the
// driver waits for the queue to be worked off and runs code on that thread.
void CreateSyncWindow();
// Waits until everything posted to the thread under test so far has been handled.
void Settle();
// Runs fn on the thread under test and waits for it.
void RunOnUiThread(const std::function<void()>& fn);

// Asks the script that runs the tests for a screenshot of the screen region of hwnd, saved as
// <directory>/<name>.png; waits for it (without the script running, nothing is saved after a
// short wait).
void Screenshot(HWND hwnd, const std::string& name);

}  // namespace qv::wintest
