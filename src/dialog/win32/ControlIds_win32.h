// The integer identifiers of the parameter dialog's windows, named after the controls. Fixed
// labels without a name of their own are named after the control they stand beside.
#pragma once

namespace qv::control_id {

enum : int {
  lblXextent = 1001,
  lblYExtent,
  lblShapeName,
  lblTopLeftMapNr,
  lblTiles,
  lblMinTreeHeight,
  edtMinTreeHeight,
  lblMinTreeHeightUnit,  // "(m)"
  lblTreeRadiusParams,
  lblRadiusModelStart,  // "R = "
  edTreeRadiusParam1,
  lblRadiusModelMiddle,  // "* H + "
  edTreeRadiusParam0,
  lblTreeRadiusUnit,  // "(m)"
  lblNumCirclePoints,
  edNumCirclePoints,
  lblMinClearingArea,
  edtMinClearingArea,
  lblMinClearingAreaUnit,  // "(m2)"
  lblMinWoodedArea,
  edtMinWoodedArea,
  lblMinWoodedAreaUnit,  // "(m2)"
  rgNhmFiletype,         // the group's frame and caption
  rgNhmFiletypeAscii,    // choice 0
  rgNhmFiletypeBinary,   // choice 1
  lblNhmDir,
  edtNhmDir,
  lblNhmNomenclature,
  lblNhmPrefix,
  lblMapNumber,
  lblTileNumber,
  lblNhmSuffix,
  edtNhmPrefix,
  lblMapNumberPlaceholder,  // "xxxx"
  cmbNhmSeparator,
  lblTileNumberPlaceholder,  // "yy"
  edtNhmSuffix,
  cmbNhmFileExt,
  lblNhmExample,
  btnResetDefaultParameters,
  btnCancel,
  btnCalculate,
  StatusBar1,
};

}  // namespace qv::control_id
