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

// What the host does: hand over the extent and the shapefile, and show the form.
void OpenForm(TInterfaceForm& form, const test::TExtent& e, const std::string& shapefile) {
  form.XMin = e.XMin;
  form.XMax = e.XMax;
  form.YMin = e.YMin;
  form.YMax = e.YMax;
  form.ShapefilePath = shapefile;
  form.LayoutVersion = 3.3;
  form.FormActivate();
}

class InterfaceForm : public ::testing::Test {
 protected:
  void Open(const test::TExtent& e) { OpenForm(form, e, project.Shapefile()); }
  // What the user does: tab into the field (its text selected) and type.
  void Type(TControlId id, std::string_view text) {
    TEnhancedEdit& field = *form.Controls.EnhancedEdit(id);
    field.FocusReceived(false);
    field.TypeText(text);
  }
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
  EXPECT_EQ(c.Caption, Msg(msgWindowTitle));
  EXPECT_EQ(c.btnCalculate.Caption, "Bestockungsanteil berechnen");
  EXPECT_EQ(c.rgNhmFiletype.Items[1], "Bin\xC3\xA4r (*.flt und *.hdr)");
  EXPECT_EQ(c.lblXextent.Caption, "x: 581000 - 582000");
  EXPECT_EQ(c.lblYExtent.Caption, "y: 240000 - 241000");
  EXPECT_EQ(c.lblShapeName.Caption, "Shapefile: " + project.Shapefile());
  EXPECT_EQ(c.lblTopLeftMapNr.Caption, "Ecke links oben: Kachel Nr 110522");
  EXPECT_EQ(c.lblTiles.Caption, "Kacheln 1105-22,");
  EXPECT_EQ(c.edtMinTreeHeight.Text(), "3.00");  // from the file
  EXPECT_EQ(c.edTreeRadiusParam1.Text(), "0.1117");
  EXPECT_EQ(c.edNumCirclePoints.Text(), "36");
  EXPECT_EQ(c.edtMinWoodedArea.Text(), "200");
  // The reset wrote "MNA_laser"; the settings file's default replaced it.
  EXPECT_EQ(c.edtNhmDir.Text, "MNA_Laser\\MNH");
  EXPECT_TRUE(c.cmbNhmFileExt.Enabled);
  EXPECT_EQ(c.cmbNhmFileExt.Text, ".txt");
  EXPECT_EQ(Example(), "Beispiel: 110522_dhm_grid1.txt");
  EXPECT_EQ(c.Focused, btnCalculate);
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(InterfaceForm, storedBinaryFileTypeDisablesTheExtensionListAtOnce) {
  project.WriteSettings("[Files]\nfile type=1\n");
  int examplesBeforeLayout = 0;
  form.Controls.rgNhmFiletype.OnClick = [&] {
    if (!form.Calculation || !form.Calculation->LayoutReady) ++examplesBeforeLayout;
    form.rgNhmFiletypeClick();
  };
  Open(kExtent1105_22);
  EXPECT_EQ(examplesBeforeLayout, 0);  // the reset found ASCII already chosen
  EXPECT_EQ(form.Controls.rgNhmFiletype.ItemIndex(), 1);
  EXPECT_FALSE(form.Controls.cmbNhmFileExt.Enabled);
  EXPECT_EQ(form.Controls.cmbNhmFileExt.Text, ".flt");
  EXPECT_EQ(Example(), "Beispiel: 110522_dhm_grid1.flt");
}

TEST_F(InterfaceForm, exampleFollowsSeparatorFileTypeAndExtension) {
  Open(kExtent1105_22);
  TDialogControls& c = form.Controls;
  c.cmbNhmSeparator.Select(2);
  form.cmbNhmSeparatorClick();
  EXPECT_EQ(Example(), "Beispiel: 1105_22_dhm_grid1.txt");
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
  EXPECT_EQ(c.cmbNhmFileExt.Text, ".txt");
  EXPECT_EQ(Example(), "Beispiel: mnh1105_22_dhm_grid1.txt");
}

TEST_F(InterfaceForm, examplePadsNumbersWithBlanksAndShowsPlaceholdersWithoutLayout) {
  // North of the grid's first sheet row the map numbers fall below 1000.
  Open({481000, 482000, 303000, 304000});
  EXPECT_EQ(form.Controls.lblTopLeftMapNr.Caption, "Ecke links oben: Kachel Nr 98033");
  EXPECT_EQ(Example(), "Beispiel:  98033_dhm_grid1.txt");

  TInterfaceForm west;
  OpenForm(west, test::ExtentWestOfGrid, project.Shapefile());
  EXPECT_EQ(west.Controls.lblTopLeftMapNr.Caption, "Ecke links oben: Kachel Nr 0");
  EXPECT_EQ(west.Controls.lblTiles.Caption, "Kacheln ");
  EXPECT_EQ(west.Controls.lblNhmExample.Caption, "Beispiel: xxxxyy_dhm_grid1.txt");
}

TEST_F(InterfaceForm, resetPutsBackEveryDefaultWithTheSmallLDirectory) {
  project.WriteSettings(
      "[Parameters]\nMinimum tree height=4\nNumber of points in circle=12\n"
      "Tree radius parameter 1=0.5\n[Files]\nfile type=1\nNHM directory=tiles\nNHM prefix=p\n"
      "NHM separator=3\nNHM suffix=_s\n");
  Open(kExtent1105_22);
  Type(edtMinWoodedArea, "abc");
  form.btnResetDefaultParametersClick();
  const TDialogControls& c = form.Controls;
  test::ExpectDefaultSettings(c, "MNA_laser\\MNH");
  EXPECT_TRUE(c.cmbNhmFileExt.Enabled);
  EXPECT_EQ(c.cmbNhmFileExt.Text, ".txt");
  EXPECT_EQ(Example(), "Beispiel: 110522_dhm_grid1.txt");
}

TEST_F(InterfaceForm, invalidFirstNumberHandsNothingOver) {
  Open(kExtent1105_22);
  Type(edtMinTreeHeight, "abc");
  Type(edTreeRadiusParam1, "0.5");
  form.btnCalculateClick();
  EXPECT_EQ(form.RunResult, 0);
  EXPECT_TRUE(form.IsOpen());
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].kind, test::TRecordedMessage::Kind::Plain);
  EXPECT_EQ(platform.messages[0].text, kInvalidNumber);
  EXPECT_EQ(form.Controls.Focused, edtMinTreeHeight);
  EXPECT_EQ(form.Calculation->TreeRadiusParam1, 0.1117);
  EXPECT_EQ(platform.beeps, 0);
  EXPECT_FALSE(platform.busy);
}

TEST_F(InterfaceForm, invalidLastNumberIsReportedAfterTheFiveBeforeWereHandedOver) {
  Open(kExtent1105_22);
  Type(edtMinTreeHeight, "3.5");
  Type(edTreeRadiusParam1, "0.2");
  Type(edTreeRadiusParam0, "1.25");
  Type(edNumCirclePoints, "24");
  Type(edtMinClearingArea, "50");
  Type(edtMinWoodedArea, "abc");
  EXPECT_FALSE(form.Calculate());
  const TWoodedAreaCalculation& calc = *form.Calculation;
  EXPECT_EQ(calc.MinTreeHeight, 3.5);
  EXPECT_EQ(calc.TreeRadiusParam1, 0.2);
  EXPECT_EQ(calc.TreeRadiusParam0, 1.25);
  EXPECT_EQ(calc.NumCirclePoints, 24);
  EXPECT_EQ(calc.MinClearingArea, 50);
  EXPECT_EQ(calc.MinWoodedArea, 200);
  EXPECT_EQ(form.Controls.Focused, edtMinWoodedArea);
  EXPECT_EQ(platform.Texts(), std::vector<std::string>{kInvalidNumber});
  EXPECT_TRUE(calc.WoodedShapePath.empty());  // nothing prepared
}

struct TRangeCase {
  std::vector<std::pair<TControlId, std::string>> Texts;
  TControlId Refused;  // None: accepted
};

class InterfaceFormRanges : public InterfaceForm,
                            public ::testing::WithParamInterface<TRangeCase> {};

TEST_P(InterfaceFormRanges, valuesThatWouldBreakTheRunAreInvalidNumbers) {
  Open(test::ExtentWestOfGrid);  // accepted values end silently: there is no layout
  for (const auto& [id, text] : GetParam().Texts) Type(id, text);
  EXPECT_FALSE(form.Calculate());
  if (GetParam().Refused == None) {
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_FALSE(form.Calculation->WoodedShapePath.empty());
  } else {
    EXPECT_EQ(platform.Texts(), std::vector<std::string>{kInvalidNumber});
    EXPECT_EQ(form.Controls.Focused, GetParam().Refused);
    EXPECT_TRUE(form.Calculation->WoodedShapePath.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Calculate, InterfaceFormRanges,
    ::testing::Values(
        TRangeCase{{{edtMinTreeHeight, "0"}}, edtMinTreeHeight},
        TRangeCase{{{edtMinTreeHeight, "-1.5"}}, edtMinTreeHeight},
        TRangeCase{{{edTreeRadiusParam1, "-0.01"}}, edTreeRadiusParam1},
        // 0.1117 * 2 - 3 < 0: the radius of the lowest tree, so the intercept is in question.
        TRangeCase{{{edTreeRadiusParam0, "-3"}}, edTreeRadiusParam0},
        TRangeCase{{{edTreeRadiusParam1, "0"}, {edTreeRadiusParam0, "0"}}, edTreeRadiusParam0},
        TRangeCase{{{edtMinTreeHeight, "1e300"}, {edTreeRadiusParam1, "1e300"}},
                   edTreeRadiusParam0},
        TRangeCase{{{edNumCirclePoints, "2"}}, edNumCirclePoints},
        TRangeCase{{{edNumCirclePoints, "361"}}, edNumCirclePoints},
        TRangeCase{{{edNumCirclePoints, "3.5"}}, edNumCirclePoints},
        TRangeCase{{{edtMinClearingArea, "-1"}}, edtMinClearingArea},
        TRangeCase{{{edtMinWoodedArea, "0.99"}}, edtMinWoodedArea},
        TRangeCase{{{edtMinWoodedArea, "inf"}}, edtMinWoodedArea},
        // The limits themselves, and a value shown with a group separator.
        TRangeCase{{{edTreeRadiusParam1, "0"},
                    {edNumCirclePoints, "3"},
                    {edtMinClearingArea, "0"},
                    {edtMinWoodedArea, "1"}},
                   None},
        TRangeCase{{{edNumCirclePoints, "360"}, {edtMinWoodedArea, "1,000"}}, None}));

TEST_F(InterfaceForm, numberShownWithGroupSeparatorIsHandedOver) {
  project.WriteSettings("[Parameters]\nMinimum wooded area=2500\n");
  Open(test::ExtentWestOfGrid);
  EXPECT_EQ(form.Controls.edtMinWoodedArea.Text(), "2,500");
  EXPECT_FALSE(form.Calculate());
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_EQ(form.Calculation->MinWoodedArea, 2500);
}

TEST_F(InterfaceForm, noFileTypeChosenIsRefusedWithItsOwnMessage) {
  project.WriteSettings("[Files]\nfile type=-1\n");
  Open(kExtent1105_22);
  EXPECT_EQ(form.Controls.rgNhmFiletype.ItemIndex(), -1);
  EXPECT_EQ(Example(), "Beispiel: 110522_dhm_grid1");
  form.btnCalculateClick();
  EXPECT_EQ(platform.Texts(),
            std::vector<std::string>{"Bitte w\xC3\xA4hlen Sie den Dateityp f\xC3\xBCr das NHM"});
  EXPECT_EQ(form.Controls.Focused, rgNhmFiletype);
  EXPECT_EQ(form.RunResult, 0);
  EXPECT_TRUE(form.IsOpen());
}

TEST_F(InterfaceForm, extentWestOfTheGridCalculatesNothingSilentlyAndCancelGivesZero) {
  Open(test::ExtentWestOfGrid);
  form.btnCalculateClick();
  form.btnCalculateClick();
  EXPECT_TRUE(form.IsOpen());
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_FALSE(platform.busy);
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
  form.Controls.Focused = edtNhmPrefix;
  form.EscapePressed();
  form.Controls.Focused = edtMinClearingArea;
  form.EscapePressed();
  EXPECT_TRUE(form.IsOpen());
  form.Controls.Focused = cmbNhmSeparator;
  form.EscapePressed();
  EXPECT_FALSE(form.IsOpen());
  EXPECT_EQ(form.RunResult, -1);
}

TEST_F(InterfaceForm, activatingAgainKeepsWhatTheUserTyped) {
  Open(kExtent1105_22);
  Type(edtMinTreeHeight, "7");
  form.FormActivate();
  EXPECT_EQ(form.Controls.edtMinTreeHeight.Text(), "7");
}

TEST_F(InterfaceForm, exceptionFromTheRunRestoresTheCursorAndLeavesTheDialogOpen) {
  project.WriteTiles(test::ProjectTile, 1, 1);
  // A header value that is not a number ends the run with an exception.
  const std::string tile = project.NhmDir() + "/109111_dhm_grid1.txt";
  std::ofstream(tile, std::ios::binary) << "ncols abc\nnrows 3\nxllcorner 0\nyllcorner 0\n"
                                           "cellsize 1\nnodata_value -9999\n1 1 1\n";
  Open(test::WindowExtent(test::ProjectTile, test::ProjectWindow));
  DispatchEvent([&] { form.btnCalculateClick(); });
  EXPECT_FALSE(platform.busy);
  EXPECT_TRUE(form.IsOpen());
  EXPECT_EQ(form.RunResult, 0);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_NE(platform.messages[0].text.find("abc"), std::string::npos) << platform.messages[0].text;
}

// --- runs that write the layers ---

TEST_F(InterfaceForm, successfulCalculationClosesWithTheRunsStatusAndWritesTheSettings) {
  project.WriteTiles(test::ProjectTile, 1, 1);
  Open(test::WindowExtent(test::ProjectTile, test::ProjectWindow));
  Type(edtMinClearingArea, "80");
  form.btnCalculateClick();
  EXPECT_FALSE(form.IsOpen());
  EXPECT_EQ(form.RunResult, 1);
  EXPECT_FALSE(platform.busy);
  EXPECT_TRUE(project.Exists(project.Layer("_w1.shp")));
  EXPECT_TRUE(project.Exists(project.Layer("_w2.shp")));
  EXPECT_EQ(project.Stored("Parameters", "Minimum clearing area"), "80");
}

TEST_F(InterfaceForm, statusTellsWhichLayersStayedEmpty) {
  project.WriteTiles(test::ProjectTile, 1, 1);
  const auto extent = test::WindowExtent(test::ProjectTile, test::ProjectWindow);
  {
    Open(extent);
    Type(edtMinWoodedArea, "1e9");  // no wood is that large; the crowns remain
    form.btnCalculateClick();
    EXPECT_EQ(form.RunResult, 2);
    EXPECT_FALSE(project.Exists(project.Layer("_w1.shp")));
    EXPECT_TRUE(project.Exists(project.Layer("_w2.shp")));
  }
  TInterfaceForm second;
  OpenForm(second, extent, project.Shapefile());
  TEnhancedEdit& height = second.Controls.edtMinTreeHeight;
  height.SelectAll();
  height.TypeText("100");  // no tree is that high
  second.btnCalculateClick();
  EXPECT_EQ(second.RunResult, 4);
  EXPECT_FALSE(second.IsOpen());
}

}  // namespace
}  // namespace qv
