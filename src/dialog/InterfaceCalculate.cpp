// Calculate: the parameters checked and handed to the computation, the paths prepared, the run.
//
// The numbers are checked and handed over one field at a time in the order of the window, so at
// the first refused field the ones above it have already been handed over. Besides the strict
// conversion, values that would break the computation are refused with the same message
// (ParameterRules.h).
#include <cmath>

#include "dialog/InterfaceUnit.h"
#include "dialog/ParameterRules.h"
#include "dialog/languages/Languages.h"
#include "platform/Platform.h"

namespace qv {

namespace {

// The hourglass for the life of the object; the cursor before it comes back however the run
// ends.
class TBusyCursor {
 public:
  TBusyCursor() : previous_(Platform().SetBusyCursor(true)) {}
  ~TBusyCursor() { Platform().SetBusyCursor(previous_); }
  TBusyCursor(const TBusyCursor&) = delete;
  TBusyCursor& operator=(const TBusyCursor&) = delete;

 private:
  bool previous_;
};

}  // namespace

bool TInterfaceForm::Calculate() {
  if (!Calculation) return false;
  if (!HandOverNumbers() || !HandOverFileSettings()) return false;
  const TBusyCursor busy;
  TWoodedAreaCalculation& calc = *Calculation;
  calc.LayoutVersion = LayoutVersion;
  calc.PrepareDirectories(ShapefilePath);
  calc.SetShapePaths(ShapefilePath);
  calc.StatusBar = &Controls.StatusBar1;
  // Without a layout there is nothing to compute, and nothing the user could be told that the
  // information lines do not already show.
  return calc.LayoutReady && calc.ComputeWoodedAreas();
}

bool TInterfaceForm::Refuse(TControlId field) {
  Platform().ShowMessage(Msg(msgInvalidNumber));
  Controls.Focused = field;
  return false;
}

std::optional<double> TInterfaceForm::CheckedFloat(TControlId field) {
  TEnhancedEdit& edit = *Controls.EnhancedEdit(field);
  if (!edit.ValidateFloat(true) || !std::isfinite(edit.Value())) {
    Refuse(field);
    return std::nullopt;
  }
  return edit.Value();
}

std::optional<std::int32_t> TInterfaceForm::CheckedInt(TControlId field) {
  TEnhancedEdit& edit = *Controls.EnhancedEdit(field);
  if (!edit.ValidateInt(true)) {
    Refuse(field);
    return std::nullopt;
  }
  return edit.ValueInt();
}

bool TInterfaceForm::HandOverNumbers() {
  using enum TControlId;
  TWoodedAreaCalculation& calc = *Calculation;

  const auto minHeight = CheckedFloat(edtMinTreeHeight);
  if (!minHeight) return false;
  if (!AcceptsMinTreeHeight(*minHeight)) return Refuse(edtMinTreeHeight);
  calc.MinTreeHeight = *minHeight;

  const auto slope = CheckedFloat(edTreeRadiusParam1);
  if (!slope) return false;
  if (!AcceptsRadiusSlope(*slope)) return Refuse(edTreeRadiusParam1);
  calc.TreeRadiusParam1 = *slope;

  const auto intercept = CheckedFloat(edTreeRadiusParam0);
  if (!intercept) return false;
  if (!AcceptsRadiusIntercept(*intercept, *slope, *minHeight)) return Refuse(edTreeRadiusParam0);
  calc.TreeRadiusParam0 = *intercept;

  const auto points = CheckedInt(edNumCirclePoints);
  if (!points) return false;
  if (!AcceptsCirclePoints(*points)) return Refuse(edNumCirclePoints);
  calc.NumCirclePoints = *points;

  const auto clearing = CheckedFloat(edtMinClearingArea);
  if (!clearing) return false;
  if (!AcceptsClearingArea(*clearing)) return Refuse(edtMinClearingArea);
  calc.MinClearingArea = *clearing;

  const auto wooded = CheckedFloat(edtMinWoodedArea);
  if (!wooded) return false;
  if (!AcceptsWoodedArea(*wooded)) return Refuse(edtMinWoodedArea);
  calc.MinWoodedArea = *wooded;
  return true;
}

bool TInterfaceForm::HandOverFileSettings() {
  const auto& c = Controls;
  const int type = c.rgNhmFiletype.ItemIndex();
  // A settings file can leave no file type chosen; the run would not know which files to open.
  if (type < 0) {
    Platform().ShowMessage(Msg(msgNoFiletype));
    Controls.Focused = TControlId::rgNhmFiletype;
    return false;
  }
  TWoodedAreaCalculation& calc = *Calculation;
  calc.NhmFiletype = static_cast<std::uint8_t>(type);
  calc.NhmDir = c.edtNhmDir.Text;
  calc.NhmPrefix = c.edtNhmPrefix.Text();
  calc.NhmSeparator = c.cmbNhmSeparator.Text;
  calc.NhmSuffix = c.edtNhmSuffix.Text();
  if (type == NhmAsciiGrid) calc.NhmFileExt = c.cmbNhmFileExt.Text;
  if (type == NhmFloatGrid) calc.NhmFileExt = ".hdr";
  return true;
}

}  // namespace qv
