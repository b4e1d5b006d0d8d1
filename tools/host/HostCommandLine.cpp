#include "HostCommandLine.h"

#include <charconv>
#include <vector>

namespace qv::host {

namespace {

constexpr std::string_view kEventsOption = "--events";

std::int32_t Coordinate(std::string_view name, std::string_view text) {
  std::int32_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty())
    throw EUsageError(std::string(name) + " must be a whole number of metres (32 bits), not \"" +
                      std::string(text) + "\"");
  return value;
}

TControlEdit ControlEdit(std::string_view text) {
  const auto equals = text.find('=');
  if (equals == std::string_view::npos)
    throw EUsageError("--set takes NAME=TEXT, not \"" + std::string(text) + "\"");
  TControlEdit edit{std::string(text.substr(0, equals)), std::string(text.substr(equals + 1))};
  if (const auto refusal = CheckControlEdit(edit)) throw EUsageError("--set: " + *refusal);
  return edit;
}

TQuestionResult Answer(std::string_view text) {
  if (text == "yes") return TQuestionResult::Yes;
  if (text == "no") return TQuestionResult::No;
  throw EUsageError("--answer takes yes or no, not \"" + std::string(text) + "\"");
}

std::string_view ValueOf(std::span<const std::string_view> args, std::size_t& i) {
  if (i + 1 >= args.size()) throw EUsageError(std::string(args[i]) + " needs a value");
  return args[++i];
}

bool IsOption(std::string_view arg) {
  // A negative coordinate is not an option.
  return arg.size() > 1 && arg[0] == '-' && !(arg[1] >= '0' && arg[1] <= '9');
}

THostCommand ParseRun(std::span<const std::string_view> args, THostMode mode = THostMode::Run) {
  THostCommand command;
  command.Mode = mode;
  std::vector<std::string_view> positional;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (optionsEnded || !IsOption(arg)) {
      positional.push_back(arg);
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "--set") {
      command.Options.Edits.push_back(ControlEdit(ValueOf(args, i)));
    } else if (arg == "--answer") {
      command.Options.Answer = Answer(ValueOf(args, i));
    } else if (arg == "--cancel") {
      command.Options.Press = TBatchButton::Cancel;
    } else if (arg == kEventsOption) {
      command.Events = true;
    } else {
      throw EUsageError("unknown option " + std::string(arg));
    }
  }
  const bool tiles = mode == THostMode::Tiles;  // the shapefile is optional there
  if (positional.size() != 5 && !(tiles && positional.size() == 4))
    throw EUsageError(std::string("expected XMIN XMAX YMIN YMAX ") +
                      (tiles ? "[SHAPEFILE]" : "SHAPEFILE") + ", got " +
                      std::to_string(positional.size()) + " arguments");
  command.XMin = Coordinate("XMIN", positional[0]);
  command.XMax = Coordinate("XMAX", positional[1]);
  command.YMin = Coordinate("YMIN", positional[2]);
  command.YMax = Coordinate("YMAX", positional[3]);
  if (positional.size() == 4) return command;
  if (positional[4].empty()) throw EUsageError("SHAPEFILE is empty");
  command.Path = std::string(positional[4]);
  return command;
}

}  // namespace

THostCommand ParseHostCommandLine(std::span<const std::string_view> args) {
  if (args.empty()) throw EUsageError("expected XMIN XMAX YMIN YMAX SHAPEFILE");
  THostCommand command;
  if (args[0] == "-h" || args[0] == "--help") {
    command.Mode = THostMode::Help;
  } else if (args[0] == "--catalogue") {
    if (args.size() != 1) throw EUsageError("--catalogue takes no arguments");
    command.Mode = THostMode::Catalogue;
  } else if (args[0] == "--delete-temp-files") {
    if (args.size() != 2) throw EUsageError("--delete-temp-files takes exactly one PATH");
    command.Mode = THostMode::DeleteTempFiles;
    command.Path = std::string(args[1]);
  } else if (args[0] == "--deliver") {
    if (args.size() != 3) throw EUsageError("--deliver takes SOURCE and TARGET");
    command.Mode = THostMode::Deliver;
    command.Path = std::string(args[1]);
    command.Target = std::string(args[2]);
  } else if (args[0] == "--share") {
    command.Mode = THostMode::Share;
    for (const std::string_view arg : args.subspan(1)) {
      if (arg == kEventsOption && command.ShareFiles.empty()) {
        command.Events = true;
      } else {
        command.ShareFiles.emplace_back(arg);
      }
    }
    if (command.ShareFiles.size() != 4)
      throw EUsageError("--share takes PARCELS WOODS CROWNS TABLE");
  } else if (args[0] == "demo") {
    if (args.size() > 2) throw EUsageError("demo takes at most one DIR");
    command.Mode = THostMode::Demo;
    command.Path = std::string(args.size() == 2 ? args[1] : DefaultDemoDirectory);
  } else if (args[0] == "--tiles") {
    command = ParseRun(args.subspan(1), THostMode::Tiles);
  } else {
    command = ParseRun(args);
  }
  return command;
}

bool WantsEvents(std::span<const std::string_view> args) {
  for (const std::string_view arg : args) {
    if (arg == "--") return false;
    if (arg == kEventsOption) return true;
  }
  return false;
}

std::string HostUsageText() {
  return R"(usage: quelvaris-host [--set NAME=TEXT]... [--answer yes|no] [--cancel] [--events]
                      XMIN XMAX YMIN YMAX SHAPEFILE
       quelvaris-host --delete-temp-files PATH
       quelvaris-host --catalogue
       quelvaris-host --deliver SOURCE TARGET
       quelvaris-host demo [DIR]
       quelvaris-host --tiles [--set NAME=TEXT]... XMIN XMAX YMIN YMAX [SHAPEFILE]
       quelvaris-host --share [--events] PARCELS WOODS CROWNS TABLE

Runs what the library's export quelvaris runs for a GIS host: the parameter dialog over the
extent XMIN..XMAX, YMIN..YMAX (whole metres of the national grid) and the shapefile SHAPEFILE,
without a window. The settings come from quelvaris.ini beside SHAPEFILE, the height-model tiles
from ../MNA_Laser/MNH/ beside its directory; the layers NAME_w1.shp (wooded areas) and
NAME_w2.shp (crown circles) are written beside SHAPEFILE.

  --set NAME=TEXT   type TEXT into the dialog's control NAME before Calculate, in order:
                    edtMinTreeHeight, edTreeRadiusParam1, edTreeRadiusParam0,
                    edNumCirclePoints, edtMinClearingArea, edtMinWoodedArea, edtNhmDir,
                    edtNhmPrefix, cmbNhmSeparator, edtNhmSuffix, cmbNhmFileExt,
                    rgNhmFiletype (0 ASCII grid, 1 binary float grid)
  --answer yes|no   the answer to "use dummy files for missing files?" (default yes)
  --cancel          press Cancel instead of Calculate (only the settings are written)
  --events          tell the run as JSON objects, one a line, on standard output (for
                    programs: progress, messages with their identifiers, the question and its
                    answer, the summary and the result; see the README)
  --catalogue       print the message catalogue as JSON: identifier -> {"en", "fr", "de"}
  --delete-temp-files PATH
                    delete the host's temporary PATH_comb.* and PATH_merg.* layers
  --deliver SOURCE TARGET
                    move the layer SOURCE (.shp, .shx, .dbf, .prj) in place of TARGET as one
                    swap: TARGET is afterwards the whole old layer or the whole new one
  --share [--events] PARCELS WOODS CROWNS TABLE
                    write to TABLE one line "RECORD AREA" per polygon of the shapefile
                    PARCELS: its area covered by the wooded areas WOODS and the crown
                    circles CROWNS (shapefiles too), progress on standard error (with
                    --events as progress events and a last result event on standard output)
  demo [DIR]        generate a 2 x 2 tile height model in DIR (default build/demo) and run
                    the calculation on it
  --tiles ...       print the tiles a run over the extent reads, as JSON: the frame (LV03,
                    or LV95 for x from 2000000 and y from 1000000) and for every tile its map
                    and tile number, file names (with the settings beside SHAPEFILE, or the
                    defaults, and the --set edits), lower-left corner, size and cell size; an
                    extent without tiles exits with 2 and a JSON object naming the error

Messages and progress go to standard error; the last line on standard output is
"quelvaris returned N" (with --events the "result" event): -1 cancelled, 0 nothing
calculated, 1 both layers written, 2 no wooded area, 3 no crown, 4 neither. The language
follows LANG (fr_* gives French, otherwise German), numbers are typed in the locale's format.
)";
}

}  // namespace qv::host
