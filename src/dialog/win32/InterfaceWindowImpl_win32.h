// The parameter dialog's window: shared by the window's event handling and its layout.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dialog/InterfaceUnit.h"
#include "dialog/win32/EnhancedEditControl_win32.h"
#include "platform/Win32.h"
#include "platform/platform_win32.h"

namespace qv {

class TInterfaceWindow {
 public:
  explicit TInterfaceWindow(TInterfaceForm& form) : form_(form) {}
  TInterfaceWindow(const TInterfaceWindow&) = delete;
  TInterfaceWindow& operator=(const TInterfaceWindow&) = delete;

  // Runs the modal dialog until the form is closed.
  void ShowModal();

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam,
                                     LPARAM lParam) noexcept;
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void Initialise(HWND hwnd);

  // --- layout (InterfaceLayout_win32.cpp) ---
  void CreateControls();
  int AddInformationLines(int y);
  int AddParameterRows(int y);
  int AddFileTypeAndDirectory(int y);
  int AddFileNameRow(int y);
  void AddButtons(int y);
  HWND AddControl(const char* windowClass, DWORD style, int id, RECT bounds,
                  const std::string& text = {});
  void AddEnhancedEdit(TEnhancedEdit& logic, int id, RECT bounds);
  void AddStatusBar();

  // --- events ---
  void Command(int id, int code);
  void ComboBoxCommand(int id, int code);
  void ButtonClicked(int id);
  void Calculate();
  // Runs a handler of the form as the toolkit would: the focus known to the form, exceptions
  // shown, then the form's values shown again and the dialog ended when the form closed.
  template <class Handler>
  void Dispatch(Handler&& handler);
  void Refresh();
  void ShowFocus();
  TControlId FocusedControl() const;
  void ShowStatusText();
  void DiscardQueuedInput();

  HWND Item(int id) const { return ::GetDlgItem(hwnd_, id); }

  TInterfaceForm& form_;
  HWND hwnd_ = nullptr;
  HFONT font_ = nullptr;
  int width_ = 0;  // of the controls' column, in the client area
  std::vector<std::unique_ptr<TEnhancedEditControl>> edits_;
  std::optional<TScopedMessageOwner> messageOwner_;
  bool busy_ = false;        // Calculate runs
  bool refreshing_ = false;  // the window is being given the form's values
};

}  // namespace qv
