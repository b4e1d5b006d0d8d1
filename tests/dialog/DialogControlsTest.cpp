#include <gtest/gtest.h>

#include "RecordingPlatform.h"
#include "dialog/DialogControls.h"

namespace qv {
namespace {

// Each field's decimals show in the default texts that ExpectDefaultSettings checks.
TEST(DialogControls, startLikeTheWindowResource) {
  test::RecordingPlatform platform;
  TDialogControls c;
  for (const auto id : TDialogControls::NumericFields) {
    const auto* field = c.EnhancedEdit(id);
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->Text(), "") << ControlName(id);
    EXPECT_TRUE(field->AcceptChars());
    EXPECT_EQ(field->Format(), TFloatFormat::ffNumber);
    EXPECT_EQ(field->Precision(), 8);
  }
  EXPECT_EQ(c.edtNhmPrefix.Alignment(), TAlignment::taCenter);
  EXPECT_EQ(c.cmbNhmSeparator.Items, (std::vector<std::string>{"", "-", "_", "@", "#"}));
  EXPECT_EQ(c.cmbNhmFileExt.Items, (std::vector<std::string>{".asc", ".dat", ".grd", ".txt"}));
  EXPECT_EQ(c.rgNhmFiletype.ItemIndex(), -1);
  EXPECT_EQ(c.EnhancedEdit(TControlId::edtNhmDir), nullptr);
}

TEST(DialogControls, namesMapBothWays) {
  for (int i = 1; i <= static_cast<int>(TControlId::btnCalculate); ++i) {
    const auto id = static_cast<TControlId>(i);
    const auto name = ControlName(id);
    ASSERT_FALSE(name.empty()) << i;
    EXPECT_EQ(ControlByName(name), id);
  }
  EXPECT_FALSE(ControlByName("edtminTreeHeight").has_value());
  EXPECT_FALSE(ControlByName("").has_value());
}

TEST(RadioGroup, limitsTheIndexAndClicksOnlyOnAChange) {
  TRadioGroup group;
  group.Items = {"ASCII", "Binary"};
  int clicks = 0;
  group.OnClick = [&] { ++clicks; };
  group.SetItemIndex(0);
  group.SetItemIndex(0);
  EXPECT_EQ(clicks, 1);
  group.SetItemIndex(9);
  EXPECT_EQ(group.ItemIndex(), 1);
  group.SetItemIndex(-5);
  EXPECT_EQ(group.ItemIndex(), -1);
  EXPECT_EQ(clicks, 3);
}

TEST(ComboBox, typedTextSelectsAMatchingItemOnly) {
  TComboBox box;
  box.Items = {"", "-", "_"};
  box.Select(2);
  EXPECT_EQ(box.Text, "_");
  box.TypeText("~");
  EXPECT_EQ(box.ItemIndex, -1);
  EXPECT_EQ(box.Text, "~");
  box.TypeText("-");
  EXPECT_EQ(box.ItemIndex, 1);
  box.TypeText("");
  EXPECT_EQ(box.ItemIndex, 0);
  box.Select(3);
  EXPECT_EQ(box.ItemIndex, -1);
  EXPECT_EQ(box.Text, "");
}

}  // namespace
}  // namespace qv
