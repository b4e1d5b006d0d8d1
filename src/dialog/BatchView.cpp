#include "dialog/BatchView.h"

#include <charconv>
#include <stdexcept>

#include "dialog/EventDispatch.h"

namespace qv {

namespace {

std::optional<int> IndexOf(std::string_view text) {
  int index = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), index);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return index;
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

}  // namespace

std::optional<std::string> CheckControlEdit(const TControlEdit& edit) {
  const auto id = ControlByName(edit.Name);
  if (!id) return "unknown control \"" + edit.Name + "\"";
  if (IsButton(*id)) return edit.Name + " is a button, not an input";
  // An index beyond the choices would select the last one and be saved as such.
  const auto index = IndexOf(edit.Text);
  if (*id == TControlId::rgNhmFiletype && (!index || *index < 0 || *index > 1))
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
        c.rgNhmFiletype.SetItemIndex(*IndexOf(edit.Text));
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
  statusBar.OnChange = [&] { console.Status(statusBar.SimpleText); };
  DispatchEvent([&] { form.FormActivate(); });
  for (const TControlEdit& edit : options.Edits) {
    if (!form.IsOpen()) break;
    DispatchEvent([&] { ApplyControlEdit(form, edit); });
  }
  if (form.IsOpen()) {
    if (options.Press == TBatchButton::Calculate) {
      DispatchEvent([&] { form.btnCalculateClick(); });
    } else {
      DispatchEvent([&] { form.btnCancelClick(); });
    }
  }
  // The user of a failed Calculate closes the dialog.
  if (form.IsOpen()) DispatchEvent([&] { form.btnCancelClick(); });
  statusBar.OnChange = nullptr;
  console.Finish();
}

}  // namespace qv
