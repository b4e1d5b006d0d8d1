// TEnhancedEdit as a Windows control: a subclassed EDIT control that forwards what the user
// does to the field's logic and shows what the logic makes of it.
//
// The control does the editing (caret, selection, typing, deleting, cut, undo) and the logic
// follows every change of the control's text: it re-reads the number, and where it filters or
// changes the text itself (set Value, Escape undo, paste) its text goes back into the control.
// The control is multi-line, the only way for an EDIT to align a one-line text right or centred,
// and a multi-line edit inside a dialog takes Enter and Escape itself, so the dialog's default and
// cancel buttons never see them from here: Enter is swallowed (or moves the focus on with
// ExitOnEnterKey) and Escape undoes the edit when UndoOnEscKey is set.
#pragma once

#include <functional>
#include <string>

#include "dialog/EnhEdit.h"
#include "platform/Win32.h"

namespace qv {

class TEnhancedEditControl {
 public:
  // Creates the control as child id of parent, in pixels, with the logic's text and alignment.
  // The logic's OnChange belongs to the control from now on.
  TEnhancedEditControl(TEnhancedEdit& logic, HWND parent, int id, RECT bounds, HFONT font);
  ~TEnhancedEditControl();
  TEnhancedEditControl(const TEnhancedEditControl&) = delete;
  TEnhancedEditControl& operator=(const TEnhancedEditControl&) = delete;

  HWND Handle() const { return hwnd_; }
  TEnhancedEdit& Logic() { return logic_; }

  // Runs after a key is released in the field (the dialog rebuilds its example on it).
  std::function<void()> OnKeyUp;

  // Puts the logic's text and selection into the control where they differ.
  void ShowLogicText();
  // Makes the logic follow the control's text and selection.
  void FollowControlText();
  // Creates the window anew when the logic's alignment is not the window's any more: the
  // alignment of an EDIT is fixed at its creation.
  void ApplyAlignment();

 private:
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Original(UINT message, WPARAM wParam, LPARAM lParam);
  HWND CreateControl(HWND parent, int id, RECT bounds, HFONT font, const std::string& text);
  void Attach(HWND hwnd);
  void Detach();
  bool KeyDownHandled(WPARAM key);
  LRESULT KeyCharacter(char key, WPARAM wParam, LPARAM lParam);
  void FocusReceived();
  void PasteClipboard();
  void PaintWithoutGrey();
  void FollowControlSelection();

  TEnhancedEdit& logic_;
  HWND hwnd_ = nullptr;
  WNDPROC original_ = nullptr;
  bool showing_ = false;  // the control is being given the logic's text
};

}  // namespace qv
