// The life of the parameter dialog: creation, set-up, the event handlers, closing.
#include "dialog/InterfaceUnit.h"

#include "dialog/Settings.h"
#include "catalogue/Languages.h"
#include "calculation/ResultPaths.h"
#include "platform/Format.h"
#include "shapefile/LayerSet.h"

namespace qv {

namespace {

// A run killed in the middle of its layer swap leaves the pair beside the shapefile mixed; the
// dialog puts the old pair back before the user sees the project again, whether or not this
// dialog calculates. A dialog without a shapefile has no project to look at.
void RecoverResultLayers(const std::string& shapefilePath, double layoutVersion) {
  if (shapefilePath.empty()) return;
  const auto dirs = DeriveRunDirectories(shapefilePath, "", NhmAsciiGrid, "", layoutVersion);
  const auto paths = DeriveLayerPaths(shapefilePath, dirs.OutputDir);
  const std::string layers[] = {paths.WoodedShapePath, paths.CrownShapePath};
  RecoverLayers(layers);
}

}  // namespace

TInterfaceForm::TInterfaceForm() { FormCreate(); }

TInterfaceForm::~TInterfaceForm() = default;

void TInterfaceForm::FormCreate() {
  SaveSettingsOnClose = true;
  // The window's resource starts with the ASCII choice; only changes from there on are clicks.
  Controls.rgNhmFiletype.SetItemIndex(NhmAsciiGrid);
  Controls.rgNhmFiletype.OnClick = [this] { rgNhmFiletypeClick(); };
}

void TInterfaceForm::FormActivate() {
  if (activated_ || closed_) return;
  activated_ = true;
  RunResult = -1;
  RecoverResultLayers(ShapefilePath, LayoutVersion);
  SettingsDir = SettingsDirOf(ShapefilePath);
  Calculation = std::make_unique<TWoodedAreaCalculation>();
  SetLanguage(ChooseLanguage());
  Controls.Caption = Msg(msgWindowTitle);
  ShowExtent();
  SetCaptions();
  // The defaults go in before the layout exists; the file type is still ASCII from the
  // resource, so no example is built yet.
  ResetDefaults();
  Controls.lblTopLeftMapNr.Caption = Format(
      Msg(msgTopLeftTile), {std::int64_t{TWoodedAreaCalculation::TileNumberAt(XMin, YMax)}});
  Calculation->SetExtent(XMin, YMax, XMax, YMin);
  // LV03 is what the dialog always showed; an LV95 extent says so, since the tiles it asks for
  // carry LV95 headers.
  if (Calculation->LayoutReady && Calculation->Tiles.Frame == TFrame::LV95)
    Controls.lblTopLeftMapNr.Caption += " (LV95)";
  Controls.lblTiles.Caption = Msg(msgTiles) + Calculation->Tiles.TileList;
  LoadSettings(Controls, SettingsFilePath(SettingsDir));
  UpdateExample();
  Controls.Focused = TControlId::btnCalculate;
}

void TInterfaceForm::ShowExtent() {
  Controls.lblXextent.Caption = Format("x: %d - %d", {std::int64_t{XMin}, std::int64_t{XMax}});
  Controls.lblYExtent.Caption = Format("y: %d - %d", {std::int64_t{YMin}, std::int64_t{YMax}});
  Controls.lblShapeName.Caption = Format("Shapefile: %s", {std::string_view(ShapefilePath)});
}

void TInterfaceForm::SetCaptions() {
  auto& c = Controls;
  c.lblMinTreeHeight.Caption = Msg(msgLblMinTreeHeight);
  c.lblTreeRadiusParams.Caption = Msg(msgLblTreeRadiusParams);
  c.lblNumCirclePoints.Caption = Msg(msgLblNumCirclePoints);
  c.lblMinClearingArea.Caption = Msg(msgLblMinClearingArea);
  c.lblMinWoodedArea.Caption = Msg(msgLblMinWoodedArea);
  c.rgNhmFiletype.Caption = Msg(msgLblNhmFiletype);
  c.rgNhmFiletype.Items = {Msg(msgFiletypeAscii), Msg(msgFiletypeBinary)};
  c.lblNhmDir.Caption = Msg(msgLblNhmDir);
  c.lblNhmNomenclature.Caption = Msg(msgLblNhmNomenclature);
  c.lblNhmPrefix.Caption = Msg(msgLblNhmPrefix);
  c.lblMapNumber.Caption = Msg(msgLblMapNumber);
  c.lblTileNumber.Caption = Msg(msgLblTileNumber);
  c.lblNhmSuffix.Caption = Msg(msgLblNhmSuffix);
  c.btnResetDefaultParameters.Caption = Msg(msgBtnResetDefaults);
  c.btnCancel.Caption = Msg(msgBtnCancel);
  c.btnCalculate.Caption = Msg(msgBtnCalculate);
  c.cmbNhmFileExt.Select(c.cmbNhmFileExt.IndexOf(".txt"));
}

void TInterfaceForm::btnCalculateClick() {
  if (closed_) return;
  RunResult = 0;
  if (!Calculate()) return;
  RunResult = Calculation->ResultStatus;
  if (OnCalculated) OnCalculated(*Calculation);
  Close();
}

void TInterfaceForm::btnResetDefaultParametersClick() {
  ResetDefaults();
  UpdateExample();
}

void TInterfaceForm::rgNhmFiletypeClick() {
  UpdateFileTypeControls();
  UpdateExample();
}

void TInterfaceForm::EscapePressed() {
  if (TEnhancedEdit* field = Controls.EnhancedEdit(Controls.Focused)) {
    field->KeyPressed(TEnhancedEdit::KeyEscape);
    return;
  }
  Close();
}

void TInterfaceForm::Close() {
  if (closed_) return;
  closed_ = true;
  FormClose();
}

void TInterfaceForm::FormClose() {
  // The computation goes with this handler however it ends.
  const auto released = std::move(Calculation);
  // A form that never got to its set-up has shown no values worth remembering, and its
  // SettingsDir is not yet known.
  if (!activated_) return;
  SaveSettings(Controls, SettingsFilePath(SettingsDir), SaveSettingsOnClose);
}

}  // namespace qv
