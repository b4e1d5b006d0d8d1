#include "nhmgen/CommandLine.h"

#include <charconv>
#include <ostream>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace qv::nhmgen {

namespace {

template <class Int>
Int ParseInteger(std::string_view option, std::string_view text) {
  Int value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) {
    throw std::invalid_argument("invalid number \"" + std::string(text) + "\" for " +
                                std::string(option));
  }
  return value;
}

DataWindow ParseWindow(std::string_view text) {
  std::vector<int> parts;
  std::size_t start = 0;
  while (true) {
    const auto comma = text.find(',', start);
    parts.push_back(ParseInteger<int>("--window", text.substr(start, comma - start)));
    if (comma == std::string_view::npos) {
      break;
    }
    start = comma + 1;
  }
  if (parts.size() != 4) {
    throw std::invalid_argument("--window needs four numbers: firstRow,firstCol,rows,cols");
  }
  return {parts[0], parts[1], parts[2], parts[3]};
}

GridFormat ParseFormat(std::string_view text) {
  if (text == "ascii") {
    return GridFormat::Ascii;
  }
  if (text == "flt") {
    return GridFormat::Flt;
  }
  throw std::invalid_argument("--format must be ascii or flt");
}

Frame ParseFrame(std::string_view text) {
  if (text == "lv03") return Frame::LV03;
  if (text == "lv95") return Frame::LV95;
  throw std::invalid_argument("--frame must be lv03 or lv95");
}

void AppendFixed(std::string& out, double v, int decimals) {
  char text[64];
  const auto end =
      std::to_chars(text, text + sizeof text, v, std::chars_format::fixed, decimals).ptr;
  out.append(text, end);
}

// Applies one option with its value; false when the option is unknown.
bool Apply(CommandLine& cl, std::string_view name, std::string_view value) {
  BlockRequest& r = cl.Request;
  if (name == "--seed") {
    r.Seed = ParseInteger<std::uint64_t>(name, value);
  } else if (name == "--map") {
    r.FirstTile.MapNumber = ParseInteger<int>(name, value);
  } else if (name == "--tile") {
    r.FirstTile.TileNumber = ParseInteger<int>(name, value);
  } else if (name == "--cols") {
    r.Cols = ParseInteger<int>(name, value);
  } else if (name == "--rows") {
    r.Rows = ParseInteger<int>(name, value);
  } else if (name == "--window") {
    r.Window = ParseWindow(value);
  } else if (name == "--format") {
    r.Format = ParseFormat(value);
  } else if (name == "--frame") {
    r.HeaderFrame = ParseFrame(value);
  } else if (name == "--prefix") {
    r.Naming.Prefix = value;
  } else if (name == "--separator") {
    r.Naming.Separator = value;
  } else if (name == "--suffix") {
    r.Naming.Suffix = value;
  } else if (name == "--ext") {
    r.Naming.Extension = value;
  } else if (name == "--out") {
    r.OutputDirectory = value;
  } else {
    return false;
  }
  return true;
}

}  // namespace

CommandLine ParseCommandLine(std::span<const std::string_view> args) {
  CommandLine cl;
  bool mapGiven = false;
  bool tileGiven = false;
  bool extGiven = false;
  for (std::size_t k = 0; k < args.size(); ++k) {
    std::string_view name = args[k];
    if (name == "--help" || name == "-h") {
      cl.Help = true;
      continue;
    }
    if (name == "--stats") {
      cl.PrintStatistics = true;
      continue;
    }
    std::string_view value;
    if (const auto eq = name.find('='); name.starts_with("--") && eq != std::string_view::npos) {
      value = name.substr(eq + 1);
      name = name.substr(0, eq);
    } else if (k + 1 < args.size()) {
      value = args[++k];
    } else {
      throw std::invalid_argument("missing value for " + std::string(name));
    }
    if (!Apply(cl, name, value)) {
      throw std::invalid_argument("unknown option " + std::string(name));
    }
    mapGiven = mapGiven || name == "--map";
    tileGiven = tileGiven || name == "--tile";
    extGiven = extGiven || name == "--ext";
  }
  if (cl.Help) {
    return cl;
  }
  if (!mapGiven || !tileGiven) {
    throw std::invalid_argument("--map and --tile are required");
  }
  if (!extGiven && cl.Request.Format == GridFormat::Flt) {
    cl.Request.Naming.Extension = ".hdr";
  }
  CheckWindow(cl.Request.Window);
  BlockTiles(cl.Request.FirstTile, cl.Request.Cols, cl.Request.Rows);  // validates the block
  return cl;
}

std::string UsageText() {
  return "usage: nhmgen --map M --tile T [options]\n"
         "Writes synthetic canopy height tiles (wooded pasture) of 4375 x 3000 cells.\n"
         "  --seed N             random seed (default 1)\n"
         "  --map M --tile T     map sheet and tile number (11-44) of the north-west tile\n"
         "  --cols C --rows R    block of C x R tiles (default 1 x 1)\n"
         "  --window R0,C0,NR,NC data window of every tile: first row, first column, rows,\n"
         "                       columns (default 0,0,3000,4375; may reach past the tile)\n"
         "  --format ascii|flt   ESRI ASCII grid (default) or .hdr + .flt float grid\n"
         "  --frame lv03|lv95    coordinates of the headers (default lv03); lv95 shifts them\n"
         "                       by (2000000, 1000000), the values stay the same\n"
         "  --prefix P --separator S --suffix X --ext E\n"
         "                       file name P<map>S<tile>X<E> (defaults: \"\", \"\", "
         "\"_dhm_grid1\",\n"
         "                       \".txt\"; with flt the extension becomes .hdr and .flt)\n"
         "  --out DIR            output directory (default .; created when missing)\n"
         "  --stats              print share of high cells, runs per row, no-data share\n";
}

std::string FormatStatistics(const NhmStatistics& stats, std::size_t tiles) {
  std::string s = "tiles: " + std::to_string(tiles) + "\ncells: " + std::to_string(stats.Cells);
  s += "\nhigh share: ";
  AppendFixed(s, 100.0 * stats.HighShare(), 2);
  s += " %\nruns per row: ";
  AppendFixed(s, stats.RunsPerRow(), 1);
  s += "\nruns: " + std::to_string(stats.Runs);
  s += "\nno-data share: ";
  AppendFixed(s, 100.0 * stats.NoDataShare(), 2);
  s += " %\n";
  return s;
}

int RunCommandLine(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
  CommandLine cl;
  try {
    cl = ParseCommandLine(args);
  } catch (const std::invalid_argument& e) {
    err << "nhmgen: " << e.what() << "\n" << UsageText();
    return 2;
  }
  if (cl.Help) {
    out << UsageText();
    return 0;
  }
  try {
    const BlockResult result = WriteBlock(cl.Request);
    for (const std::string& file : result.Files) {
      out << file << "\n";
    }
    if (cl.PrintStatistics) {
      const std::size_t tiles =
          static_cast<std::size_t>(cl.Request.Cols) * static_cast<std::size_t>(cl.Request.Rows);
      out << FormatStatistics(result.Statistics, tiles);
    }
  } catch (const std::exception& e) {
    err << "nhmgen: " << e.what() << "\n";
    return 1;
  }
  return 0;
}

}  // namespace qv::nhmgen
