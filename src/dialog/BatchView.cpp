#include "dialog/BatchView.h"

#include <stdexcept>

#include "dialog/EventDispatch.h"
#include "catalogue/Message.h"

namespace qv {

namespace {

// The index of a file-type choice: what a click on one of the two can give.
std::optional<int> FileTypeIndex(std::string_view text) {
  if (text == "0") return NhmAsciiGrid;
  if (text == "1") return NhmFloatGrid;
  return std::nullopt;
}

bool IsButton(TControlId id) {
  return id == TControlId::btnResetDefaultParameters || id == TControlId::btnCancel ||
         id == TControlId::btnCalculate;
}

// A choice from the list when the text is one of its items, typing otherwise. Either way the
// user has made the list's text what it is, and the example follows it.
void ChooseOrType(TComboBox& list, std::string_view text) {
  if (!list.Enabled) throw std::invalid_argument("the list is disabled");
  const int index = list.IndexOf(text);
  if (index >= 0) {
    list.Select(index);
  } else {
    list.TypeText(text);
  }
}

// Why the window would show no tile: its corner tile 0 or an empty tile list say it only to
// those who know the grid.
TMsg NoLayoutReason(const TInterfaceForm& form) {
  return qv::NoLayoutReason(form.XMin, form.YMax, form.XMax, form.YMin);
}

// What the window shows above the parameters: the extent, the shapefile and the tile layout.
void ShowInformationLines(const TInterfaceForm& form, TConsoleOutput& console,
                          IRunObserver* observer) {
  const TDialogControls& c = form.Controls;
  for (const TLabel* label :
       {&c.lblXextent, &c.lblYExtent, &c.lblShapeName, &c.lblTopLeftMapNr, &c.lblTiles}) {
    console.Message(label->Caption);
    if (observer != nullptr) observer->Information(label->Caption);
  }
  if (form.Calculation && !form.Calculation->LayoutReady) ShowMsg(NoLayoutReason(form));
}

// The status bar on the console, and its progress as numbers to the observer.
void ShowStatus(const TStatusBar& statusBar, TConsoleOutput& console, IRunObserver* observer) {
  console.Status(statusBar.SimpleText, statusBar.Progress);
  if (observer == nullptr) return;
  if (statusBar.Progress) {
    observer->Progress(*statusBar.Progress, statusBar.SimpleText);
  } else {
    observer->Status(statusBar.SimpleText);
  }
}

void Report(const TWoodedAreaCalculation& calc, TRunReport& report) {
  report.WoodedShapePath = calc.Paths.WoodedShapePath;
  report.CrownShapePath = calc.Paths.CrownShapePath;
  report.Tiles = calc.Tiles.Count();
  report.TilesRead = 0;
  for (std::int32_t row = 0; row < calc.Tiles.RowCount(); ++row) {
    for (std::int32_t column = 0; column < calc.Tiles.ColumnCount(); ++column)
      report.TilesRead += calc.Tiles.Get(row, column).IsDummy ? 0 : 1;
  }
}

}  // namespace

std::optional<std::string> CheckControlEdit(const TControlEdit& edit) {
  const auto id = ControlByName(edit.Name);
  if (!id) return "unknown control \"" + edit.Name + "\"";
  if (IsButton(*id)) return edit.Name + " is a button, not an input";
  if (*id == TControlId::rgNhmFiletype && !FileTypeIndex(edit.Text))
    return "rgNhmFiletype takes the index of a choice (0 ASCII, 1 binary), not \"" + edit.Text +
           "\"";
  return std::nullopt;
}

void ApplyControlEdit(TInterfaceForm& form, const TControlEdit& edit) {
  if (const auto refusal = CheckControlEdit(edit)) throw std::invalid_argument(*refusal);
  const TControlId id = *ControlByName(edit.Name);
  TDialogControls& c = form.Controls;
  c.Focused = id;
  if (TEnhancedEdit* field = c.EnhancedEdit(id)) {
    // Entering the field from the keyboard selects its text; typing replaces it.
    field->FocusReceived(false);
    field->TypeText(edit.Text);
    if (id == TControlId::edtNhmPrefix) form.edtNhmPrefixKeyUp();
    if (id == TControlId::edtNhmSuffix) form.edtNhmSuffixKeyUp();
    return;
  }
  try {
    switch (id) {
      case TControlId::edtNhmDir:
        c.edtNhmDir.Text = edit.Text;
        return;
      case TControlId::cmbNhmSeparator:
        ChooseOrType(c.cmbNhmSeparator, edit.Text);
        form.cmbNhmSeparatorClick();
        return;
      case TControlId::cmbNhmFileExt:
        ChooseOrType(c.cmbNhmFileExt, edit.Text);
        form.cmbNhmSeparatorClick();
        return;
      case TControlId::rgNhmFiletype:
        c.rgNhmFiletype.SetItemIndex(*FileTypeIndex(edit.Text));
        return;
      default:
        return;
    }
  } catch (const std::invalid_argument& e) {
    throw std::invalid_argument(edit.Name + ": " + e.what());
  }
}

void ShowModalBatch(TInterfaceForm& form, const TBatchOptions& options, TConsoleOutput& console) {
  TStatusBar& statusBar = form.Controls.StatusBar1;
  statusBar.OnChange = [&] { ShowStatus(statusBar, console, options.Observer); };
  form.NameRefusedFields = true;
  if (options.Report != nullptr) {
    form.OnCalculated = [&](const TWoodedAreaCalculation& calc) { Report(calc, *options.Report); };
  }
  DispatchEvent([&] {
    form.FormActivate();
    ShowInformationLines(form, console, options.Observer);
  });
  bool edited = true;
  for (const TControlEdit& edit : options.Edits) {
    if (!form.IsOpen() || !edited) break;
    edited = false;
    DispatchEvent([&] {
      ApplyControlEdit(form, edit);
      edited = true;
    });
  }
  if (form.IsOpen() && edited && options.Press == TBatchButton::Calculate) {
    DispatchEvent([&] { form.btnCalculateClick(); });
  }
  // Cancel as asked, or by the user of a failed Calculate or of an edit that could not be made.
  if (form.IsOpen()) DispatchEvent([&] { form.btnCancelClick(); });
  statusBar.OnChange = nullptr;
  form.OnCalculated = nullptr;
  console.Finish();
}

}  // namespace qv
