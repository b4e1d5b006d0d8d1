#include <gtest/gtest.h>

#include "RecordingPlatform.h"
#include "dialog/EventDispatch.h"
#include "dialog/InterfaceUnit.h"
#include "dialog/TestProject.h"
#include "dialog/languages/Languages.h"

namespace qv {
namespace {

using enum TControlId;

// Map 1105, tile 22 holds the extent's upper left corner.
constexpr test::TExtent kExtent1105_22{581000, 582000, 240000, 241000};
const std::string kInvalidNumber = "Ung\xC3\xBCltige Zahl";

class InterfaceForm : public ::testing::Test {
 protected:
  void Open(const test::TExtent& e) { test::OpenForm(form, e, project.Shapefile()); }
  void Type(TControlId id, std::string_view text) { test::TypeInto(form, id, text); }
  const std::string& Example() const { return form.Controls.lblNhmExample.Caption; }

  test::RecordingPlatform platform;  // German, "." and ","
  test::TTestProject project;
  TInterfaceForm form;
};

TEST_F(InterfaceForm, setUpShowsTheRunAndTheStoredParametersOverTheDefaults) {
  project.WriteSettings("[Parameters]\nMinimum tree height=3\n");
  Open(kExtent1105_22);
  const TDialogControls& c = form.Controls;
  EXPECT_EQ(form.RunResult, -1);
  EXPECT_EQ(c.btnCalculate.Caption, "Bestockungsanteil berechnen");
  EXPECT_EQ(c.lblXextent.Caption, "x: 581000 - 582000");
  EXPECT_EQ(c.lblYExtent.Caption, "y: 240000 - 241000");
  EXPECT_EQ(c.lblShapeName.Caption, "Shapefile: " + project.Shapefile());
  EXPECT_EQ(c.lblTopLeftMapNr.Caption, "Ecke links oben: Kachel Nr 110522");
  EXPECT_EQ(c.lblTiles.Caption, "Kacheln 1105-22,");
  EXPECT_EQ(c.edtMinTreeHeight.Text(), "3.00");  // from the file
  EXPECT_EQ(c.edTreeRadiusParam1.Text(), "0.1117");
  // The reset wrote "MNA_laser"; the settings file's default replaced it.
  EXPECT_EQ(c.edtNhmDir.Text, "MNA_Laser\\MNH");
  EXPECT_EQ(Example(), "Beispiel: 110522_dhm_grid1.txt");
  EXPECT_EQ(c.Focused, btnCalculate);
  EXPECT_TRUE(platform.messages.empty());
  // A window is activated again whenever a box over it closes: that resets nothing.
  Type(edtMinTreeHeight, "7");
  form.FormActivate();
  EXPECT_EQ(c.edtMinTreeHeight.Text(), "7");
}

TEST_F(InterfaceForm, exampleFollowsSeparatorFileTypeAndExtension) {
  Open(kExtent1105_22);
  TDialogControls& c = form.Controls;
  c.cmbNhmSeparator.Select(2);
  form.cmbNhmSeparatorClick();
  Type(edtNhmPrefix, "mnh");
  form.edtNhmPrefixKeyUp();
  EXPECT_EQ(Example(), "Beispiel: mnh1105_22_dhm_grid1.txt");
  c.cmbNhmFileExt.Select(c.cmbNhmFileExt.IndexOf(".asc"));
  form.cmbNhmSeparatorClick();
  EXPECT_EQ(Example(), "Beispiel: mnh1105_22_dhm_grid1.asc");
  c.rgNhmFiletype.SetItemIndex(1);
  EXPECT_EQ(Example(), "Beispiel: mnh1105_22_dhm_grid1.flt");
  EXPECT_FALSE(c.cmbNhmFileExt.Enabled);
  // Back to ASCII: ".txt", whatever was chosen before.
  c.rgNhmFiletype.SetItemIndex(0);
  EXPECT_TRUE(c.cmbNhmFileExt.Enabled);
  EXPECT_EQ(Example(), "Beispiel: mnh1105_22_dhm_grid1.txt");
}

TEST_F(InterfaceForm, examplePadsNumbersWithBlanksAndShowsPlaceholdersWithoutLayout) {
  // North of the grid's first sheet row the map numbers fall below 1000.
  Open({481000, 482000, 303000, 304000});
  EXPECT_EQ(Example(), "Beispiel:  98033_dhm_grid1.txt");
  TInterfaceForm west;
  test::OpenForm(west, test::ExtentWestOfGrid, project.Shapefile());
  EXPECT_EQ(west.Controls.lblTopLeftMapNr.Caption, "Ecke links oben: Kachel Nr 0");
  EXPECT_EQ(west.Controls.lblTiles.Caption, "Kacheln ");
  EXPECT_EQ(west.Controls.lblNhmExample.Caption, "Beispiel: xxxxyy_dhm_grid1.txt");
}

TEST_F(InterfaceForm, storedBinaryFileTypeDisablesTheExtensionListAndResetRestoresAll) {
  project.WriteSettings(
      "[Parameters]\nMinimum tree height=4\nNumber of points in circle=12\n"
      "Tree radius parameter 1=0.5\n[Files]\nfile type=1\nNHM directory=tiles\nNHM prefix=p\n"
      "NHM separator=3\nNHM suffix=_s\n");
  Open(kExtent1105_22);
  EXPECT_FALSE(form.Controls.cmbNhmFileExt.Enabled);
  EXPECT_EQ(Example(), "Beispiel: p1105@22_s.flt");
  Type(edtMinWoodedArea, "abc");
  form.btnResetDefaultParametersClick();
  test::ExpectDefaultSettings(form.Controls, "MNA_laser\\MNH");
  EXPECT_TRUE(form.Controls.cmbNhmFileExt.Enabled);
  EXPECT_EQ(Example(), "Beispiel: 110522_dhm_grid1.txt");
}

TEST_F(InterfaceForm, refusedNumberIsReportedAfterTheFieldsBeforeItWereHandedOver) {
  Open(kExtent1105_22);
  Type(edtMinTreeHeight, "3.5");
  Type(edtMinClearingArea, "50");
  Type(edtMinWoodedArea, "abc");
  form.btnCalculateClick();
  EXPECT_EQ(form.RunResult, 0);
  EXPECT_TRUE(form.IsOpen());
  const TWoodedAreaCalculation& calc = *form.Calculation;
  EXPECT_EQ(calc.MinTreeHeight, 3.5);
  EXPECT_EQ(calc.MinClearingArea, 50);
  EXPECT_EQ(calc.MinWoodedArea, 200);
  EXPECT_EQ(form.Controls.Focused, edtMinWoodedArea);
  // The window shows the bare message; the focus names the field.
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].kind, test::TRecordedMessage::Kind::Plain);
  EXPECT_EQ(platform.messages[0].text, kInvalidNumber);
  EXPECT_TRUE(calc.WoodedShapePath.empty());  // nothing prepared
}

struct TRangeCase {
  std::vector<std::pair<TControlId, std::string>> Texts;
  TControlId Refused;  // None: accepted
  std::string Named;   // the refusal as a view without focus words it
};

class InterfaceFormRanges : public InterfaceForm,
                            public ::testing::WithParamInterface<TRangeCase> {};

TEST_P(InterfaceFormRanges, valuesThatWouldBreakTheRunAreRefusedWithTheirRange) {
  Open(test::ExtentWestOfGrid);  // accepted values end silently: there is no layout
  form.NameRefusedFields = true;
  for (const auto& [id, text] : GetParam().Texts) Type(id, text);
  EXPECT_FALSE(form.Calculate());
  if (GetParam().Refused == None) {
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_FALSE(form.Calculation->WoodedShapePath.empty());
  } else {
    EXPECT_EQ(platform.Texts(), std::vector<std::string>{GetParam().Named});
    EXPECT_EQ(form.Controls.Focused, GetParam().Refused);
    EXPECT_TRUE(form.Calculation->WoodedShapePath.empty());
  }
}

// The refusals in German: caption, message, range.
std::string Refusal(const std::string& caption, const std::string& range) {
  return caption + ": " + kInvalidNumber + (range.empty() ? "" : " (" + range + ")");
}
const std::string kHeight = "Minimalh\xC3\xB6he der bestockten Fl\xC3\xA4" "che";
const std::string kIntercept = "Achsenabschnitt des Kronenradius";
const std::string kPoints = "Kreise als Polygone vom Grad";
const std::string kWooded = "Limite f\xC3\xBCr bestockte Fl\xC3\xA4" "chen";
const std::string kAbove = "gr\xC3\xB6sser als ";

INSTANTIATE_TEST_SUITE_P(
    Calculate, InterfaceFormRanges,
    ::testing::Values(
        TRangeCase{{{edtMinTreeHeight, "abc"}}, edtMinTreeHeight, Refusal(kHeight, kAbove + "0")},
        TRangeCase{{{edtMinTreeHeight, "0"}}, edtMinTreeHeight, Refusal(kHeight, kAbove + "0")},
        TRangeCase{{{edTreeRadiusParam1, "-0.01"}}, edTreeRadiusParam1,
                   Refusal("Steigung des Kronenradius", "0 oder mehr")},
        // The radius of the lowest tree decides: 0.1117 * 2 + intercept must stay above 0.
        TRangeCase{{{edTreeRadiusParam0, "-3"}}, edTreeRadiusParam0,
                   Refusal(kIntercept, kAbove + "-0.2234")},
        TRangeCase{{{edTreeRadiusParam1, "0"}, {edTreeRadiusParam0, "0"}}, edTreeRadiusParam0,
                   Refusal(kIntercept, kAbove + "0")},
        TRangeCase{{{edtMinTreeHeight, "1e300"}, {edTreeRadiusParam1, "1e300"}},
                   edTreeRadiusParam0, Refusal(kIntercept, "")},
        TRangeCase{{{edNumCirclePoints, "2"}}, edNumCirclePoints, Refusal(kPoints, "3 bis 360")},
        TRangeCase{{{edNumCirclePoints, "361"}}, edNumCirclePoints, Refusal(kPoints, "3 bis 360")},
        TRangeCase{{{edNumCirclePoints, "3.5"}}, edNumCirclePoints, Refusal(kPoints, "3 bis 360")},
        TRangeCase{{{edtMinClearingArea, "-1"}}, edtMinClearingArea,
                   Refusal("Limite f\xC3\xBCr nicht-bestockte Fl\xC3\xA4" "chen", "0 oder mehr")},
        TRangeCase{{{edtMinWoodedArea, "0.99"}}, edtMinWoodedArea, Refusal(kWooded, "1 oder mehr")},
        TRangeCase{{{edtMinWoodedArea, "inf"}}, edtMinWoodedArea, Refusal(kWooded, "1 oder mehr")},
        // The limits themselves, and a value shown with a group separator.
        TRangeCase{{{edTreeRadiusParam1, "0"},
                    {edNumCirclePoints, "3"},
                    {edtMinClearingArea, "0"},
                    {edtMinWoodedArea, "1"}},
                   None, ""},
        TRangeCase{{{edNumCirclePoints, "360"}, {edtMinWoodedArea, "1,000"}}, None, ""}));

TEST_F(InterfaceForm, noFileTypeChosenIsRefusedWithItsOwnMessage) {
  project.WriteSettings("[Files]\nfile type=-1\n");
  Open(kExtent1105_22);
  EXPECT_EQ(Example(), "Beispiel: 110522_dhm_grid1");
  form.btnCalculateClick();
  EXPECT_EQ(platform.Texts(),
            std::vector<std::string>{"Bitte w\xC3\xA4hlen Sie den Dateityp f\xC3\xBCr das NHM"});
  EXPECT_EQ(form.Controls.Focused, rgNhmFiletype);
  EXPECT_TRUE(form.IsOpen());
}

TEST_F(InterfaceForm, extentWestOfTheGridCalculatesNothingSilentlyAndCancelGivesZero) {
  Open(test::ExtentWestOfGrid);
  form.btnCalculateClick();
  EXPECT_TRUE(form.IsOpen());
  EXPECT_TRUE(platform.messages.empty());
  form.btnCancelClick();
  EXPECT_FALSE(form.IsOpen());
  EXPECT_EQ(form.RunResult, 0);
  EXPECT_EQ(form.Calculation, nullptr);
  EXPECT_TRUE(project.Exists(project.SettingsFile()));
}

TEST_F(InterfaceForm, cancelAtOnceKeepsMinusOneAndWritesTheShownValues) {
  project.WriteSettings("[Parameters]\nMinimum tree height=2.345\n");
  Open(kExtent1105_22);
  form.btnCancelClick();
  EXPECT_EQ(form.RunResult, -1);
  EXPECT_EQ(form.Calculation, nullptr);
  // The field showed 2.35, and that is what the next run reads.
  EXPECT_EQ(project.Stored("Parameters", "Minimum tree height"), "2.35");
  EXPECT_EQ(project.Stored("Files", "NHM directory"), "MNA_Laser\\MNH");
  form.btnCancelClick();  // closed once only
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(InterfaceForm, escapeCancelsExceptInTheFieldsThatKeepIt) {
  Open(kExtent1105_22);
  for (const TControlId keeper : {edtNhmPrefix, edtMinClearingArea}) {
    form.Controls.Focused = keeper;
    form.EscapePressed();
  }
  EXPECT_TRUE(form.IsOpen());
  form.Controls.Focused = cmbNhmSeparator;
  form.EscapePressed();
  EXPECT_EQ(form.RunResult, -1);
}

TEST_F(InterfaceForm, exceptionFromTheRunRestoresTheCursorAndLeavesTheDialogOpen) {
  // A header value that is not a number ends the run with an exception.
  project.WriteTile("ncols abc\nnrows 3\nxllcorner 0\nyllcorner 0\ncellsize 1\n"
                    "nodata_value -9999\n1 1 1\n");
  Open(test::WindowExtent(test::ProjectTile, test::ProjectWindow));
  DispatchEvent([&] { form.btnCalculateClick(); });
  EXPECT_FALSE(platform.busy);
  EXPECT_TRUE(form.IsOpen());
  EXPECT_EQ(form.RunResult, 0);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_NE(platform.messages[0].text.find("abc"), std::string::npos) << platform.messages[0].text;
}

// A completed run closes the dialog with its status: 1, plus 1 without wooded areas, plus 2
// without crowns.
struct TStatusCase {
  std::vector<std::pair<TControlId, std::string>> Texts;
  bool RampTile;  // heights rising to the north, where the row pass does not look: no tree top
  std::int32_t Status;
};

class InterfaceFormStatus : public InterfaceForm,
                            public ::testing::WithParamInterface<TStatusCase> {};

TEST_P(InterfaceFormStatus, completedRunClosesWithItsStatusAndWritesTheSettings) {
  if (GetParam().RampTile) {
    project.WriteTile(test::RampTileText(test::ProjectTile, 30));
  } else {
    project.WriteTiles(test::ProjectTile, 1, 1);
  }
  Open(test::WindowExtent(test::ProjectTile, test::ProjectWindow));
  for (const auto& [id, text] : GetParam().Texts) Type(id, text);
  form.btnCalculateClick();
  EXPECT_FALSE(form.IsOpen());
  EXPECT_EQ(form.RunResult, GetParam().Status);
  EXPECT_FALSE(platform.busy);
  const int status = GetParam().Status - 1;
  EXPECT_EQ(project.Exists(project.Layer("_w1.shp")), (status & 1) == 0);
  EXPECT_EQ(project.Exists(project.Layer("_w2.shp")), (status & 2) == 0);
  EXPECT_EQ(project.Stored("Parameters", "Minimum clearing area"), "80");
}

INSTANTIATE_TEST_SUITE_P(
    Calculate, InterfaceFormStatus,
    ::testing::Values(TStatusCase{{{edtMinClearingArea, "80"}}, false, 1},
                      // No wood is that large; the crowns remain.
                      TStatusCase{{{edtMinClearingArea, "80"}, {edtMinWoodedArea, "1e9"}}, false, 2},
                      TStatusCase{{{edtMinClearingArea, "80"}}, true, 3},
                      // No tree is that high.
                      TStatusCase{{{edtMinClearingArea, "80"}, {edtMinTreeHeight, "100"}}, false, 4}));

}  // namespace
}  // namespace qv
