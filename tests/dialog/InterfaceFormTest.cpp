#include <gtest/gtest.h>

#include <sstream>

#include "RecordingPlatform.h"
#include "dialog/EventDispatch.h"
#include "dialog/TestProject.h"

namespace qv {
namespace {

namespace fs = std::filesystem;
using enum TControlId;
using TTexts = std::vector<std::pair<TControlId, std::string>>;

// Map 1105, tile 22 holds the extent's upper left corner.
constexpr test::TExtent kExtent1105_22{581000, 582000, 240000, 241000};
const std::string kInvalidNumber = "Ung\xC3\xBCltige Zahl";

class InterfaceForm : public ::testing::Test {
 protected:
  void Open(const test::TExtent& e) { test::OpenForm(form, e, project.Shapefile()); }
  void Type(const TTexts& texts) {
    for (const auto& [id, text] : texts) test::TypeInto(form, id, text);
  }
  const std::string& Example() const { return form.Controls.lblNhmExample.Caption; }

  test::RecordingPlatform platform;  // German, "." and ","
  test::TTestProject project;
  TInterfaceForm form;
};

TEST_F(InterfaceForm, setUpShowsTheRunAndTheStoredParametersOverTheDefaults) {
  project.WriteSettings("[Parameters]\nMinimum tree height=3\n[Files]\nNHM prefix=p\n");
  Open(kExtent1105_22);
  const TDialogControls& c = form.Controls;
  EXPECT_EQ(form.RunResult, -1);
  EXPECT_EQ(c.btnCalculate.Caption, "Bestockungsanteil berechnen");  // the batch run prints the rest
  // The reset wrote "MNA_laser"; the settings file's default replaced it.
  EXPECT_EQ(test::ShownSettings(c), "3.00|2.6894|0.1117|36|100|200|0|MNA_Laser\\MNH|p|0:|_dhm_grid1|");
  EXPECT_EQ(Example(), "Beispiel: p110522_dhm_grid1.txt");
  EXPECT_EQ(c.Focused, btnCalculate);
  // A window is activated again whenever a box over it closes: that resets nothing.
  Type({{edtMinTreeHeight, "7"}});
  form.FormActivate();
  EXPECT_EQ(c.edtMinTreeHeight.Text(), "7");
}

TEST_F(InterfaceForm, exampleFollowsTheNamingAndResetRestoresEverything) {
  // North of the grid's first sheet row the map numbers fall below 1000: padded with blanks.
  TInterfaceForm north, west;
  test::OpenForm(north, {481000, 482000, 303000, 304000}, project.Shapefile());
  EXPECT_EQ(north.Controls.lblNhmExample.Caption, "Beispiel:  98033_dhm_grid1.txt");
  test::OpenForm(west, test::ExtentWestOfGrid, project.Shapefile());
  EXPECT_EQ(west.Controls.lblTopLeftMapNr.Caption, "Ecke links oben: Kachel Nr 0");
  EXPECT_EQ(west.Controls.lblTiles.Caption, "Kacheln ");
  EXPECT_EQ(west.Controls.lblNhmExample.Caption, "Beispiel: xxxxyy_dhm_grid1.txt");

  project.WriteSettings("[Parameters]\nNumber of points in circle=12\n[Files]\nfile type=1\n"
                        "NHM directory=tiles\nNHM prefix=p\nNHM separator=3\nNHM suffix=_s\n");
  Open(kExtent1105_22);
  TDialogControls& c = form.Controls;
  EXPECT_FALSE(c.cmbNhmFileExt.Enabled);
  EXPECT_EQ(Example(), "Beispiel: p1105@22_s.flt");
  c.rgNhmFiletype.SetItemIndex(0);  // back to ASCII: ".txt", whatever was chosen before
  EXPECT_TRUE(c.cmbNhmFileExt.Enabled);
  c.cmbNhmSeparator.Select(2);
  form.cmbNhmSeparatorClick();
  Type({{edtNhmPrefix, "mnh"}});
  form.edtNhmPrefixKeyUp();
  Type({{edtNhmSuffix, "_t"}});
  form.edtNhmSuffixKeyUp();
  c.cmbNhmFileExt.Select(c.cmbNhmFileExt.IndexOf(".asc"));
  form.cmbNhmSeparatorClick();
  EXPECT_EQ(Example(), "Beispiel: mnh1105_22_t.asc");
  Type({{edtMinWoodedArea, "abc"}});
  c.rgNhmFiletype.SetItemIndex(1);
  form.btnResetDefaultParametersClick();
  EXPECT_EQ(test::ShownSettings(c), test::DefaultSettings("MNA_laser\\MNH"));
  EXPECT_TRUE(c.cmbNhmFileExt.Enabled);
  EXPECT_EQ(Example(), "Beispiel: 110522_dhm_grid1.txt");
}

TEST_F(InterfaceForm, refusalIsShownAfterTheFieldsAboveItWereHandedOver) {
  Open(kExtent1105_22);
  Type({{edtMinTreeHeight, "3.5"}, {edTreeRadiusParam1, "0.2"}, {edTreeRadiusParam0, "-0.5"},
        {edNumCirclePoints, "12"}, {edtMinClearingArea, "50"}, {edtMinWoodedArea, "abc"}});
  form.btnCalculateClick();
  EXPECT_EQ(form.RunResult, 0);
  const TWoodedAreaCalculation& calc = *form.Calculation;
  const TTreeParameters& tree = calc.Settings.Tree;
  EXPECT_EQ(std::vector<double>({tree.MinTreeHeight, tree.TreeRadiusParam1, tree.TreeRadiusParam0,
                                 double(tree.NumCirclePoints), calc.Settings.Limits.MinClearingArea,
                                 calc.Settings.Limits.MinWoodedArea}),
            std::vector<double>({3.5, 0.2, -0.5, 12, 50, 200}));
  EXPECT_TRUE(calc.Paths.WoodedShapePath.empty());  // nothing prepared
  // The window shows the bare message; the focus names the field.
  EXPECT_EQ(form.Controls.Focused, edtMinWoodedArea);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].kind, test::TRecordedMessage::Kind::Plain);
  EXPECT_EQ(platform.messages[0].text, kInvalidNumber);

  // Escape stays in the fields that keep it and cancels anywhere else.
  for (const TControlId focused : {edtNhmPrefix, edtMinClearingArea, cmbNhmSeparator}) {
    EXPECT_TRUE(form.IsOpen());
    form.Controls.Focused = focused;
    form.EscapePressed();
  }
  EXPECT_FALSE(form.IsOpen());
  EXPECT_EQ(form.RunResult, 0);
}

// Refused as a view without focus names it: caption, message and range, here in German.
TEST_F(InterfaceForm, valuesThatWouldBreakTheRunAreRefusedWithTheirRange) {
  const auto named = [](const std::string& caption, const std::string& range) {
    return caption + ": " + kInvalidNumber + (range.empty() ? "" : " (" + range + ")");
  };
  const std::string height = named("Minimalh\xC3\xB6he der bestockten Fl\xC3\xA4" "che", "gr\xC3\xB6sser als 0");
  const std::string intercept = "Achsenabschnitt des Kronenradius";
  const std::string points = named("Kreise als Polygone vom Grad", "3 bis 360");
  const std::string wooded = named("Limite f\xC3\xBCr bestockte Fl\xC3\xA4" "chen", "1 oder mehr");
  const struct {
    TTexts Texts;
    TControlId Refused;  // None: accepted
    std::string Named;
  } cases[] = {
      {{{edtMinTreeHeight, "abc"}}, edtMinTreeHeight, height}, {{{edtMinTreeHeight, "0"}}, edtMinTreeHeight, height},
      {{{edTreeRadiusParam1, "-0.01"}}, edTreeRadiusParam1, named("Steigung des Kronenradius", "0 oder mehr")},
      // The radius of the lowest tree decides: 0.1117 * 2 + intercept must stay above 0.
      {{{edTreeRadiusParam0, "-0.2234"}}, edTreeRadiusParam0, named(intercept, "gr\xC3\xB6sser als -0.2234")},
      {{{edTreeRadiusParam1, "0"}, {edTreeRadiusParam0, "0"}}, edTreeRadiusParam0,
       named(intercept, "gr\xC3\xB6sser als 0")},
      {{{edtMinTreeHeight, "1e300"}, {edTreeRadiusParam1, "1e300"}}, edTreeRadiusParam0, named(intercept, "")},
      {{{edNumCirclePoints, "2"}}, edNumCirclePoints, points}, {{{edNumCirclePoints, "361"}}, edNumCirclePoints, points},
      {{{edNumCirclePoints, "3.5"}}, edNumCirclePoints, points},
      {{{edtMinClearingArea, "-1"}}, edtMinClearingArea,
       named("Limite f\xC3\xBCr nicht-bestockte Fl\xC3\xA4" "chen", "0 oder mehr")},
      {{{edtMinWoodedArea, "0.99"}}, edtMinWoodedArea, wooded}, {{{edtMinWoodedArea, "inf"}}, edtMinWoodedArea, wooded},
      // The limits themselves, and a value shown with a group separator.
      {{{edTreeRadiusParam1, "0"}, {edTreeRadiusParam0, "0.0001"}, {edNumCirclePoints, "3"},
        {edtMinClearingArea, "0"}, {edtMinWoodedArea, "1"}}, None, ""},
      {{{edNumCirclePoints, "360"}, {edtMinWoodedArea, "1,000"}}, None, ""}};
  for (const auto& r : cases) {
    SCOPED_TRACE(r.Named);
    TInterfaceForm f;
    test::OpenForm(f, test::ExtentWestOfGrid, project.Shapefile());  // accepted: no layout
    f.NameRefusedFields = true;
    for (const auto& [id, text] : r.Texts) test::TypeInto(f, id, text);
    EXPECT_FALSE(f.Calculate());
    EXPECT_EQ(f.Calculation->Paths.WoodedShapePath.empty(), r.Refused != None);
    EXPECT_EQ(f.HandOverNumbers(), r.Refused);
    EXPECT_EQ(platform.Texts(), std::vector<std::string>(r.Refused != None ? 2 : 0, r.Named));
    EXPECT_EQ(f.Controls.Focused, r.Refused == None ? btnCalculate : r.Refused);
    platform.Clear();
  }
}

TEST_F(InterfaceForm, closingWithoutARunGivesMinusOneOrZeroAndWritesTheShownValues) {
  project.WriteSettings("[Parameters]\nMinimum tree height=2.345\n");
  Open(kExtent1105_22);
  form.btnCancelClick();
  EXPECT_EQ(form.RunResult, -1);
  EXPECT_EQ(form.Calculation, nullptr);
  // The field showed 2.35, and that is what the next run reads.
  EXPECT_EQ(project.Stored("Parameters", "Minimum tree height"), "2.35");
  EXPECT_EQ(project.Stored("Files", "NHM directory"), "MNA_Laser\\MNH");

  // An extent west of the grid calculates nothing, silently.
  TInterfaceForm west;
  test::OpenForm(west, test::ExtentWestOfGrid, project.Shapefile());
  west.btnCalculateClick();
  EXPECT_TRUE(west.IsOpen());
  west.btnCancelClick();
  EXPECT_EQ(west.RunResult, 0);
  EXPECT_TRUE(platform.messages.empty());

  // No file type chosen (a settings file can leave it so) has its own message.
  project.WriteSettings("[Files]\nfile type=-1\n");
  TInterfaceForm none;
  test::OpenForm(none, kExtent1105_22, project.Shapefile());
  EXPECT_EQ(none.Controls.lblNhmExample.Caption, "Beispiel: 110522_dhm_grid1");
  none.btnCalculateClick();
  EXPECT_EQ(platform.Texts(), std::vector<std::string>{"Bitte w\xC3\xA4hlen Sie den Dateityp f\xC3\xBCr das NHM"});
  EXPECT_EQ(none.Controls.Focused, rgNhmFiletype);
  EXPECT_TRUE(none.IsOpen());
}

TEST_F(InterfaceForm, exceptionFromTheRunRestoresTheCursorAndLeavesTheDialogOpen) {
  // A header value that is not a number ends the run with an exception.
  project.WriteTile("ncols abc\nnrows 3\nxllcorner 0\nyllcorner 0\ncellsize 1\n"
                    "nodata_value -9999\n1 1 1\n");
  Open(test::Window);
  DispatchEvent([&] { form.btnCalculateClick(); });
  EXPECT_FALSE(platform.busy);
  EXPECT_TRUE(form.IsOpen());
  EXPECT_EQ(form.RunResult, 0);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_NE(platform.messages[0].text.find("abc"), std::string::npos) << platform.messages[0].text;
}

// A 30 x 30 tile at the project tile's corner, each row a metre lower than the one north of it:
// every cell the row pass classifies has a higher neighbour, so woods but no tree top.
std::string RampTile() {
  std::ostringstream text;
  text << "ncols 30\nnrows 30\nxllcorner 672499.5\nyllcorner 253970.5\ncellsize 1\n"
       << "nodata_value -9999\n";
  for (int row = 0; row < 30; ++row)
    for (int col = 0; col < 30; ++col) text << 60 - row << (col < 29 ? " " : "\n");
  return text.str();
}

// A completed run closes the dialog with the run's status: here 3, woods but no crown (the
// other statuses come through the library and the host program).
TEST_F(InterfaceForm, completedRunClosesWithItsStatusAndWritesTheSettings) {
  project.WriteTile(RampTile());
  Open(test::Window);
  Type({{edtMinClearingArea, "80"}});
  form.btnCalculateClick();
  EXPECT_FALSE(form.IsOpen());
  EXPECT_EQ(form.RunResult, 3);
  EXPECT_FALSE(platform.busy);
  EXPECT_TRUE(fs::exists(project.Layer("_w1.shp")));
  EXPECT_FALSE(fs::exists(project.Layer("_w2.shp")));
  EXPECT_EQ(project.Stored("Parameters", "Minimum clearing area"), "80");
}

}  // namespace
}  // namespace qv
