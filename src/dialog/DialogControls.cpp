#include "dialog/DialogControls.h"

#include <algorithm>
#include <utility>

namespace qv {

namespace {

struct TNamedControl {
  TControlId Id;
  std::string_view Name;
};

constexpr TNamedControl kNames[] = {
    {TControlId::edtMinTreeHeight, "edtMinTreeHeight"},
    {TControlId::edTreeRadiusParam1, "edTreeRadiusParam1"},
    {TControlId::edTreeRadiusParam0, "edTreeRadiusParam0"},
    {TControlId::edNumCirclePoints, "edNumCirclePoints"},
    {TControlId::edtMinClearingArea, "edtMinClearingArea"},
    {TControlId::edtMinWoodedArea, "edtMinWoodedArea"},
    {TControlId::rgNhmFiletype, "rgNhmFiletype"},
    {TControlId::edtNhmDir, "edtNhmDir"},
    {TControlId::edtNhmPrefix, "edtNhmPrefix"},
    {TControlId::cmbNhmSeparator, "cmbNhmSeparator"},
    {TControlId::edtNhmSuffix, "edtNhmSuffix"},
    {TControlId::cmbNhmFileExt, "cmbNhmFileExt"},
    {TControlId::btnResetDefaultParameters, "btnResetDefaultParameters"},
    {TControlId::btnCancel, "btnCancel"},
    {TControlId::btnCalculate, "btnCalculate"},
};

}  // namespace

std::string_view ControlName(TControlId id) {
  for (const auto& c : kNames) {
    if (c.Id == id) return c.Name;
  }
  return {};
}

std::optional<TControlId> ControlByName(std::string_view name) {
  for (const auto& c : kNames) {
    if (c.Name == name) return c.Id;
  }
  return std::nullopt;
}

void TRadioGroup::SetItemIndex(int index) {
  const int last = static_cast<int>(Items.size()) - 1;
  index = index < 0 ? -1 : std::min(index, last);
  if (index == itemIndex_) return;
  itemIndex_ = index;
  if (OnClick) OnClick();
}

void TComboBox::Select(int index) {
  if (index < 0 || index >= static_cast<int>(Items.size())) {
    ItemIndex = -1;
    Text.clear();
    return;
  }
  ItemIndex = index;
  Text = Items[static_cast<std::size_t>(index)];
}

void TComboBox::TypeText(std::string_view text) {
  Text = std::string(text);
  ItemIndex = IndexOf(text);
}

int TComboBox::IndexOf(std::string_view text) const {
  const auto it = std::find(Items.begin(), Items.end(), text);
  return it == Items.end() ? -1 : static_cast<int>(it - Items.begin());
}

void TStatusBar::SetText(std::string_view text) {
  Progress.reset();
  SimpleText = std::string(text);
  if (OnChange) OnChange();
}

void TStatusBar::SetProgress(std::string_view text, const TTileProgress& progress) {
  SimpleText = std::string(text);
  Progress = progress;
  if (OnChange) OnChange();
}

TDialogControls::TDialogControls() {
  rgNhmFiletype.Items = {"", ""};  // captions come from the catalogue at set-up
  cmbNhmSeparator.Items = {"", "-", "_", "@", "#"};
  cmbNhmFileExt.Items = {".asc", ".dat", ".grd", ".txt"};

  edTreeRadiusParam1.SetDigits(4);
  edTreeRadiusParam0.SetDigits(4);
  edNumCirclePoints.SetDigits(0);
  edtMinClearingArea.SetDigits(0);
  edtMinWoodedArea.SetDigits(0);
  edtNhmPrefix.SetAlignment(TAlignment::taCenter);
  // Changing the decimals formats the value 0; a freshly loaded window shows empty fields.
  for (const TControlId id : NumericFields) EnhancedEdit(id)->Clear();

  for (const auto& c : kNames) {
    if (auto* edit = EnhancedEdit(c.Id)) {
      const TControlId id = c.Id;
      edit->OnRequestFocus = [this, id] { Focused = id; };
    }
  }
}

TEnhancedEdit* TDialogControls::EnhancedEdit(TControlId id) {
  return const_cast<TEnhancedEdit*>(std::as_const(*this).EnhancedEdit(id));
}

const TEnhancedEdit* TDialogControls::EnhancedEdit(TControlId id) const {
  switch (id) {
    case TControlId::edtMinTreeHeight: return &edtMinTreeHeight;
    case TControlId::edTreeRadiusParam1: return &edTreeRadiusParam1;
    case TControlId::edTreeRadiusParam0: return &edTreeRadiusParam0;
    case TControlId::edNumCirclePoints: return &edNumCirclePoints;
    case TControlId::edtMinClearingArea: return &edtMinClearingArea;
    case TControlId::edtMinWoodedArea: return &edtMinWoodedArea;
    case TControlId::edtNhmPrefix: return &edtNhmPrefix;
    case TControlId::edtNhmSuffix: return &edtNhmSuffix;
    default: return nullptr;
  }
}

}  // namespace qv
