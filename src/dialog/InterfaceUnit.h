// TInterfaceForm: the parameter dialog of one run, as logic over the plain control values.
//
// The entry point creates the form, fills in the host's extent, the shapefile path and
// LayoutVersion, and hands it to a view that shows it modally. The view calls the handlers
// below as the user acts: FormActivate when the window is first shown, the button and list
// handlers on clicks, edtNhmPrefixKeyUp / edtNhmSuffixKeyUp after keys in those fields, Close on
// Cancel or the close box, EscapePressed for the Escape key. A view runs every handler through
// DispatchEvent (EventDispatch.h), so an exception escaping a handler is shown with its own text
// and the dialog stays open.
//
// RunResult is what the entry point returns: -1 closed without calculating, 0 Calculate pressed
// but nothing completed, 1..4 the computation's ResultStatus after a successful Calculate.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "calculation/WoodedAreaCalculation.h"
#include "dialog/DialogControls.h"

namespace qv {

struct TAcceptedRange;

class TInterfaceForm {
 public:
  // Creating the form is FormCreate: the settings will be written when it closes.
  TInterfaceForm();
  ~TInterfaceForm();
  TInterfaceForm(const TInterfaceForm&) = delete;
  TInterfaceForm& operator=(const TInterfaceForm&) = delete;

  // --- set by the entry point before the form is shown ---
  std::int32_t XMin = 0;
  std::int32_t XMax = 0;
  std::int32_t YMin = 0;
  std::int32_t YMax = 0;
  std::string ShapefilePath;
  double LayoutVersion = 0.0;
  std::int32_t RunResult = 0;

  // --- the dialog's own state ---
  std::string SettingsDir;
  bool SaveSettingsOnClose = false;
  std::unique_ptr<TWoodedAreaCalculation> Calculation;  // from set-up until the form closes
  TDialogControls Controls;

  // --- set by a view ---
  // A view that shows no focus (the batch view) has a refused number named with its caption and
  // accepted range instead of the bare "Invalid number".
  bool NameRefusedFields = false;
  // Called after a Calculate that completed, before the dialog closes and releases the
  // computation: a view's last look at the run (its layers, its tiles).
  std::function<void(const TWoodedAreaCalculation&)> OnCalculated;

  // --- event handlers ---
  void FormCreate();
  // The set-up, on the first activation only: a window is activated again whenever a message
  // box over it closes, and that must not reset what the user typed.
  void FormActivate();
  void btnCalculateClick();
  void btnCancelClick() { Close(); }
  void btnResetDefaultParametersClick();
  void rgNhmFiletypeClick();
  // Shared by both drop-down lists: a choice made in either changes the example.
  void cmbNhmSeparatorClick() { UpdateExample(); }
  void edtNhmPrefixKeyUp() { UpdateExample(); }
  void edtNhmSuffixKeyUp() { UpdateExample(); }
  // The numeric, prefix and suffix fields keep Escape to themselves; anywhere else it cancels.
  void EscapePressed();
  // Closing in any way (Cancel, Escape, the close box, a successful Calculate): FormClose runs
  // once; afterwards the form is closed for good.
  void Close();
  bool IsOpen() const { return !closed_; }

  // --- routines ---
  void ResetDefaults();
  void UpdateFileTypeControls();
  // Without a tile layout the example shows the placeholders "xxxx" and "yy" of the file-name
  // row in place of the map and tile numbers.
  void UpdateExample();
  // Validates and hands over the parameters, prepares the paths and runs the computation when
  // the tile layout exists. True when the computation completed.
  bool Calculate();
  // The first step of Calculate: the six numbers checked in window order, each accepted one
  // handed to the computation. At the first refused field the refusal is shown and the focus put
  // there; that field is returned (None when all six were accepted).
  TControlId HandOverNumbers();

 private:
  void FormClose();
  void ShowExtent();
  void SetCaptions();
  bool HandOverFileSettings();
  std::optional<double> AcceptedValue(TControlId field, const TAcceptedRange& range);
  TControlId Refuse(TControlId field, const TAcceptedRange& range);

  bool activated_ = false;
  bool closed_ = false;
};

}  // namespace qv
