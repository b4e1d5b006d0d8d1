// The harness of the programs that test the windows under Wine (the cross build has no
// GoogleTest). The windows run modally on the main thread while a driver thread works them as a
// user would: keys and characters into the focused control's queue, clicks, answers to boxes.
// Every wait has a time limit after which the program ends with a message: a wait that timed out
// leaves a modal loop behind that nothing else would end. The script reads the summary line,
// "N passed, N failed"; the exit code is 0 only when nothing failed.
#pragma once

#include <functional>
#include <sstream>
#include <string>

#include "platform/Win32.h"

namespace qv::wintest {

inline constexpr DWORD kWaitMs = 20000;

void Check(bool ok, const char* expression, const char* file, int line,
           const std::string& detail = {});
int Summary(const char* program);
[[noreturn]] void Abort(const std::string& why);

template <class A, class B>
void CheckEqual(const A& a, const B& b, const char* expression, const char* file, int line) {
  std::ostringstream detail;
  if (!(a == b)) detail << '"' << a << "\" vs \"" << b << '"';
  Check(a == b, expression, file, line, detail.str());
}

// Starts the driver (the default mingw thread model has no std::thread); Join handles the
// calling thread's messages until the driver has finished.
HANDLE Drive(const std::function<void()>& fn);
void Join(HANDLE driver);
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = kWaitMs);
// The visible dialog (class #32770) of thread that owner owns (any owner when null) and that has
// a control with the given id (any when 0); waits for it and for its first paint.
HWND WaitForDialog(DWORD thread, HWND owner, int controlId = 0);
void WaitUntilDestroyed(HWND hwnd);

std::string TextOf(HWND hwnd);
// From the style: Wine's IsWindowEnabled misreports the windows of other threads.
bool IsEnabled(HWND hwnd);
HWND FocusOf(DWORD thread);
// Into the queue of the thread's focused control, where its modal loop applies the dialog
// manager's keyboard rules; each returns once the input has been handled.
void PressKey(DWORD thread, WORD virtualKey);
void Type(DWORD thread, const std::string& text);
void Post(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

// A visible top-level window of the calling thread, as the GIS host's main window.
HWND CreateHostWindow();
// The main thread creates this window before its modal loops; through it the driver waits for
// the queue to be worked off (Settle) and runs code on that thread (OnUiThread).
void CreateSyncWindow();
void Settle();
void OnUiThread(const std::function<void()>& fn);
// Asks the script for a screenshot of hwnd as <QV_SHOT_DIR>\<name>.png and waits for it.
void Screenshot(HWND hwnd, const std::string& name);

}  // namespace qv::wintest

#define QV_CHECK(cond) ::qv::wintest::Check((cond), #cond, __FILE__, __LINE__)
#define QV_CHECK_EQ(a, b) ::qv::wintest::CheckEqual((a), (b), #a " == " #b, __FILE__, __LINE__)
