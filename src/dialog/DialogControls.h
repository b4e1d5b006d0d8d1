// The parameter dialog's controls as plain values, top to bottom as the window shows them.
//
// The dialog's logic reads and writes these values only; a view (the Win32 window, the batch
// view of the host program, a test) shows them and forwards the user's edits. Constructing the
// set is what loading the window's resource does: the lists get their items, the numeric
// fields their decimals, and every numeric field reports a focus request into Focused.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dialog/EnhEdit.h"
#include "platform/Platform.h"

namespace qv {

// The controls that can hold the keyboard focus, in tab order.
enum class TControlId {
  None,
  edtMinTreeHeight,
  edTreeRadiusParam1,
  edTreeRadiusParam0,
  edNumCirclePoints,
  edtMinClearingArea,
  edtMinWoodedArea,
  rgNhmFiletype,
  edtNhmDir,
  edtNhmPrefix,
  cmbNhmSeparator,
  edtNhmSuffix,
  cmbNhmFileExt,
  btnResetDefaultParameters,
  btnCancel,
  btnCalculate,
};

// The control's resource name ("edtMinTreeHeight"); empty for None.
std::string_view ControlName(TControlId id);
// The control of a resource name, compared exactly; nothing for an unknown name.
std::optional<TControlId> ControlByName(std::string_view name);

struct TLabel {
  std::string Caption;
};

struct TButton {
  std::string Caption;
};

// A plain one-line text field.
struct TEdit {
  std::string Text;
};

// A group of exclusive choices. Like the toolkit's, a change of ItemIndex, by the user or by
// the program, runs OnClick.
class TRadioGroup {
 public:
  std::string Caption;
  std::vector<std::string> Items;
  std::function<void()> OnClick;

  int ItemIndex() const { return itemIndex_; }
  // Limited like the toolkit's: below 0 selects none (-1), beyond the items the last one.
  void SetItemIndex(int index);

 private:
  int itemIndex_ = -1;
};

// An editable drop-down list whose text is used as it stands. Selecting from the program runs
// no event; the view reports the user's choices to the dialog itself.
struct TComboBox {
  std::vector<std::string> Items;
  int ItemIndex = -1;  // -1: the text is not one of the items
  std::string Text;
  bool Enabled = true;

  // Selects an item and shows its text; an index outside the items selects none and empties
  // the text.
  void Select(int index);
  // Text typed into the list: an item with exactly that text becomes the selected one.
  void TypeText(std::string_view text);
  int IndexOf(std::string_view text) const;
};

// The one-text status bar; the computation writes its progress here.
class TStatusBar final : public IStatusSink {
 public:
  std::string SimpleText;
  std::function<void()> OnChange;  // the view repaints
  std::optional<TTileProgress> Progress;  // the numbers of the text, while it is a progress text

  void SetText(std::string_view text) override;
  void SetProgress(std::string_view text, const TTileProgress& progress) override;
};

// Fixed captions of the window, not taken from the catalogue.
namespace fixed_caption {
inline constexpr std::string_view UnitMetres = "(m)";
inline constexpr std::string_view UnitSquareMetres = "(m2)";
inline constexpr std::string_view RadiusModelStart = "R = ";
inline constexpr std::string_view RadiusModelMiddle = "* H + ";
inline constexpr std::string_view MapNumberPlaceholder = "xxxx";
inline constexpr std::string_view TileNumberPlaceholder = "yy";
}  // namespace fixed_caption

struct TDialogControls {
  TDialogControls();
  // Focus requests of the fields point back into this object.
  TDialogControls(const TDialogControls&) = delete;
  TDialogControls& operator=(const TDialogControls&) = delete;

  std::string Caption;  // window title

  TLabel lblXextent;
  TLabel lblYExtent;
  TLabel lblShapeName;
  TLabel lblTopLeftMapNr;
  TLabel lblTiles;

  TLabel lblMinTreeHeight;
  TEnhancedEdit edtMinTreeHeight;  // 2 decimals
  TLabel lblTreeRadiusParams;
  TEnhancedEdit edTreeRadiusParam1;  // slope, 4 decimals
  TEnhancedEdit edTreeRadiusParam0;  // intercept, 4 decimals
  TLabel lblNumCirclePoints;
  TEnhancedEdit edNumCirclePoints;  // 0 decimals
  TLabel lblMinClearingArea;
  TEnhancedEdit edtMinClearingArea;  // 0 decimals
  TLabel lblMinWoodedArea;
  TEnhancedEdit edtMinWoodedArea;  // 0 decimals

  TRadioGroup rgNhmFiletype;  // 0 ASCII grid, 1 binary float grid

  TLabel lblNhmDir;
  TEdit edtNhmDir;

  TLabel lblNhmNomenclature;
  TLabel lblNhmPrefix;
  TLabel lblMapNumber;
  TLabel lblTileNumber;
  TLabel lblNhmSuffix;
  TEnhancedEdit edtNhmPrefix;  // text only, centred
  TComboBox cmbNhmSeparator;   // "", "-", "_", "@", "#"
  TEnhancedEdit edtNhmSuffix;  // text only
  TComboBox cmbNhmFileExt;     // ".asc", ".dat", ".grd", ".txt"

  TLabel lblNhmExample;

  TButton btnResetDefaultParameters;
  TButton btnCancel;
  TButton btnCalculate;

  TStatusBar StatusBar1;

  TControlId Focused = TControlId::None;

  // The six numeric fields in the order in which Calculate checks them.
  static constexpr std::array<TControlId, 6> NumericFields = {
      TControlId::edtMinTreeHeight,   TControlId::edTreeRadiusParam1,
      TControlId::edTreeRadiusParam0, TControlId::edNumCirclePoints,
      TControlId::edtMinClearingArea, TControlId::edtMinWoodedArea};

  // The TEnhancedEdit of a control (numeric, prefix or suffix field), or null.
  TEnhancedEdit* EnhancedEdit(TControlId id);
  const TEnhancedEdit* EnhancedEdit(TControlId id) const;
};

}  // namespace qv
