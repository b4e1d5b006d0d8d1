// The dialog's routines on its controls: defaults, the file-type rule and the example name.
#include "dialog/InterfaceUnit.h"

#include "calculation/ParameterDefaults.h"
#include "dialog/Settings.h"
#include "catalogue/Languages.h"
#include "platform/Format.h"

namespace qv {

namespace {

// The button restores "MNA_laser" with a small "l", the settings file "MNA_Laser"; both name
// the same directory on the file systems the deliveries come on.
constexpr std::string_view kResetNhmDir = "MNA_laser\\MNH";
constexpr std::string_view kAsciiExtension = ".txt";
constexpr std::string_view kBinaryExtension = ".flt";

}  // namespace

void TInterfaceForm::ResetDefaults() {
  auto& c = Controls;
  c.edtMinTreeHeight.SetValue(defaults::MinTreeHeight);
  c.edTreeRadiusParam0.SetValue(defaults::TreeRadiusParam0);
  c.edTreeRadiusParam1.SetValue(defaults::TreeRadiusParam1);
  c.edNumCirclePoints.SetValueInt(defaults::NumCirclePoints);
  c.edtMinClearingArea.SetValue(defaults::MinClearingArea);
  c.edtMinWoodedArea.SetValue(defaults::MinWoodedArea);
  c.rgNhmFiletype.SetItemIndex(NhmAsciiGrid);
  c.edtNhmDir.Text = std::string(kResetNhmDir);
  c.edtNhmPrefix.SetText("");
  c.cmbNhmSeparator.Select(0);
  c.edtNhmSuffix.SetText(DefaultNhmSuffix);
  UpdateFileTypeControls();
  c.cmbNhmFileExt.TypeText(kAsciiExtension);
}

void TInterfaceForm::UpdateFileTypeControls() {
  auto& ext = Controls.cmbNhmFileExt;
  if (Controls.rgNhmFiletype.ItemIndex() == NhmAsciiGrid) {
    ext.Enabled = true;
    ext.Select(ext.IndexOf(kAsciiExtension));
  } else {
    ext.Enabled = false;
    ext.TypeText(kBinaryExtension);
  }
}

void TInterfaceForm::UpdateExample() {
  if (!Calculation) return;
  auto& c = Controls;
  std::string map(fixed_caption::MapNumberPlaceholder);
  std::string tile(fixed_caption::TileNumberPlaceholder);
  if (Calculation->LayoutReady && Calculation->Tiles.Count() > 0) {
    const TTile& first = Calculation->Tiles.Get(0, 0);
    map = Format("%4d", {std::int64_t{first.MapNumber}});
    tile = Format("%2d", {std::int64_t{first.TileNumber}});
  }
  std::string extension;
  const int type = c.rgNhmFiletype.ItemIndex();
  if (type == NhmAsciiGrid) extension = c.cmbNhmFileExt.Text;
  if (type == NhmFloatGrid) extension = kBinaryExtension;
  c.lblNhmExample.Caption = Msg(msgExample) + c.edtNhmPrefix.Text() + map +
                            c.cmbNhmSeparator.Text + tile + c.edtNhmSuffix.Text() + extension;
}

}  // namespace qv
