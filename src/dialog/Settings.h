// The settings file "quelvaris.ini" beside the host's shapefile: the dialog's parameters and
// the NHM file naming, from one run to the next.
//
// Two sections, eleven keys, read once at set-up and written once when the dialog closes.
// Numbers use the system's number format, as the dialog's fields do.
#pragma once

#include <string>
#include <string_view>

#include "dialog/DialogControls.h"

namespace qv {

inline constexpr std::string_view SettingsFileName = "quelvaris.ini";
// The tile name's default ending, the same after a reset and without a settings file.
inline constexpr std::string_view DefaultNhmSuffix = "_dhm_grid1";

// Longest string value taken from the file, in characters.
inline constexpr std::size_t MaxSettingLength = 2047;

// The directory part of the shapefile's path: "D:\p\s\x.shp" gives "D:\p\s", a file in a
// drive's root keeps its backslash ("C:\"), a bare name gives "".
std::string SettingsDirOf(std::string_view shapefilePath);

// SettingsDir + separator + "quelvaris.ini". An empty directory gives the file in the root.
std::string SettingsFilePath(std::string_view settingsDir);

// Reads the eleven keys (one read of the file) into the controls. Missing keys, values that do
// not convert and empty numbers give the defaults; a present empty string stays empty. A float
// that does not convert with the system's decimal separator is read with the other of "." and
// "," (a file saved under a locale of the other kind). Numbers go into the fields as values, so
// each shows in its own format (and is rounded to its decimals). A file type above 1 selects
// binary, below 0 none; a separator outside 0..4 selects none with an empty text. A change of
// the file type runs rgNhmFiletype's OnClick.
void LoadSettings(TDialogControls& controls, const std::string& settingsFile);

// Writes the eleven keys in order, in one write of the file, when SaveSettingsOnClose is set. A
// numeric field that Calculate would refuse (not a number, or out of its range) is not written:
// its key keeps what the file held, so a stray keystroke or a refused value never becomes the
// next run's parameter; the same for no file type chosen. When the write fails the user hears
// the beep and reads the error (three lines), SaveSettingsOnClose is cleared and the file is
// left as it was.
void SaveSettings(const TDialogControls& controls, const std::string& settingsFile,
                  bool& saveSettingsOnClose);

}  // namespace qv
