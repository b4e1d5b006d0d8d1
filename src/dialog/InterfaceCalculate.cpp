// Calculate: the parameters checked and handed to the computation, the paths prepared, the run.
//
// The numbers are checked and handed over one field at a time in the order of the window, so at
// the first refused field the ones above it have already been handed over. Besides the strict
// conversion, each field has the range a run needs (NumberRanges.h); a value outside it is
// refused with the same message.
#include "dialog/InterfaceUnit.h"
#include "dialog/NumberRanges.h"
#include "catalogue/Message.h"
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
  if (HandOverNumbers() != TControlId::None || !HandOverFileSettings()) return false;
  const TBusyCursor busy;
  TWoodedAreaCalculation& calc = *Calculation;
  calc.Settings.LayoutVersion = LayoutVersion;
  calc.PrepareDirectories(ShapefilePath);
  calc.SetShapePaths(ShapefilePath);
  calc.StatusBar = &Controls.StatusBar1;
  // Without a layout there is nothing to compute, and nothing the user could be told that the
  // information lines do not already show.
  return calc.LayoutReady && calc.ComputeWoodedAreas();
}

TControlId TInterfaceForm::Refuse(TControlId field, const TAcceptedRange& range) {
  TMessage refusal(TMessageKind::Message, msgInvalidNumber);
  if (NameRefusedFields) refusal.Worded(RefusalText(field, range));
  refusal.Show();
  Controls.Focused = field;
  return field;
}

std::optional<double> TInterfaceForm::AcceptedValue(TControlId field,
                                                    const TAcceptedRange& range) {
  TEnhancedEdit& edit = *Controls.EnhancedEdit(field);
  const bool integer = field == TControlId::edNumCirclePoints;
  const bool converts = integer ? edit.ValidateInt(true) : edit.ValidateFloat(true);
  if (!converts) return std::nullopt;
  const double value = integer ? edit.ValueInt() : edit.Value();
  if (!range.Contains(value)) return std::nullopt;
  return value;
}

TControlId TInterfaceForm::HandOverNumbers() {
  TTreeParameters& tree = Calculation->Settings.Tree;
  TAreaLimits& limits = Calculation->Settings.Limits;
  double minHeight = 0.0;
  double slope = 0.0;
  for (const TControlId field : TDialogControls::NumericFields) {
    const TAcceptedRange range = AcceptedRange(field, minHeight, slope);
    const auto value = AcceptedValue(field, range);
    if (!value) return Refuse(field, range);
    switch (field) {
      case TControlId::edtMinTreeHeight: tree.MinTreeHeight = minHeight = *value; break;
      case TControlId::edTreeRadiusParam1: tree.TreeRadiusParam1 = slope = *value; break;
      case TControlId::edTreeRadiusParam0: tree.TreeRadiusParam0 = *value; break;
      case TControlId::edNumCirclePoints:
        tree.NumCirclePoints = static_cast<std::int32_t>(*value);
        break;
      case TControlId::edtMinClearingArea: limits.MinClearingArea = *value; break;
      default: limits.MinWoodedArea = *value; break;
    }
  }
  return TControlId::None;
}

bool TInterfaceForm::HandOverFileSettings() {
  const auto& c = Controls;
  const int type = c.rgNhmFiletype.ItemIndex();
  // A settings file can leave no file type chosen; the run would not know which files to open.
  if (type < 0) {
    ShowMsg(msgNoFiletype);
    Controls.Focused = TControlId::rgNhmFiletype;
    return false;
  }
  TNhmFileSettings& files = Calculation->Settings.Files;
  files.NhmFiletype = static_cast<std::uint8_t>(type);
  files.NhmDir = c.edtNhmDir.Text;
  files.NhmPrefix = c.edtNhmPrefix.Text();
  files.NhmSeparator = c.cmbNhmSeparator.Text;
  files.NhmSuffix = c.edtNhmSuffix.Text();
  if (type == NhmAsciiGrid) files.NhmFileExt = c.cmbNhmFileExt.Text;
  if (type == NhmFloatGrid) files.NhmFileExt = ".hdr";
  return true;
}

}  // namespace qv
