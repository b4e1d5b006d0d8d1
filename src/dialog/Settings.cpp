#include "dialog/Settings.h"

#include <optional>
#include <vector>

#include "calculation/ParameterDefaults.h"
#include "calculation/Tile.h"
#include "dialog/NumberRanges.h"
#include "catalogue/Message.h"
#include "platform/Paths.h"
#include "platform/Platform.h"

namespace qv {

namespace {

constexpr std::string_view kParameters = "Parameters";
constexpr std::string_view kFiles = "Files";

constexpr std::string_view kMinTreeHeight = "Minimum tree height";
constexpr std::string_view kTreeRadiusParam0 = "Tree radius parameter 0";
constexpr std::string_view kTreeRadiusParam1 = "Tree radius parameter 1";
constexpr std::string_view kNumCirclePoints = "Number of points in circle";
constexpr std::string_view kMinClearingArea = "Minimum clearing area";
constexpr std::string_view kMinWoodedArea = "Minimum wooded area";
constexpr std::string_view kFileType = "file type";
constexpr std::string_view kNhmDir = "NHM directory";
constexpr std::string_view kNhmPrefix = "NHM prefix";
constexpr std::string_view kNhmSeparator = "NHM separator";
constexpr std::string_view kNhmSuffix = "NHM suffix";

// At most MaxSettingLength characters: bytes in the 8-bit code page of Windows, whole UTF-8
// characters on POSIX (a cut never splits one).
std::string Truncated(std::string text) {
  std::size_t chars = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
#ifndef _WIN32
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
#endif
    if (++chars > MaxSettingLength) {
      text.resize(i);
      break;
    }
  }
  return text;
}

// The keys in the order of the file, which is also the order of reading and writing.
enum TKeyIndex {
  kiMinTreeHeight, kiTreeRadiusParam0, kiTreeRadiusParam1, kiNumCirclePoints,
  kiMinClearingArea, kiMinWoodedArea, kiFileType, kiNhmDir, kiNhmPrefix, kiNhmSeparator,
  kiNhmSuffix
};

std::vector<TIniEntry> Keys() {
  return {{kParameters, kMinTreeHeight, {}},    {kParameters, kTreeRadiusParam0, {}},
          {kParameters, kTreeRadiusParam1, {}}, {kParameters, kNumCirclePoints, {}},
          {kParameters, kMinClearingArea, {}},  {kParameters, kMinWoodedArea, {}},
          {kFiles, kFileType, {}},              {kFiles, kNhmDir, {}},
          {kFiles, kNhmPrefix, {}},             {kFiles, kNhmSeparator, {}},
          {kFiles, kNhmSuffix, {}}};
}

// The file's values as the dialog takes them: strings cut to their length, numbers converted
// (nothing for a value that is absent or does not convert, so the default applies).
class TStoredValues {
 public:
  TStoredValues(const std::string& file, const TNumberFormat& nf) : entries_(Keys()), nf_(nf) {
    Platform().IniRead(file, entries_);
  }
  std::string String(TKeyIndex k, std::string_view defaultValue) const {
    return Truncated(entries_[k].Value ? *entries_[k].Value : std::string(defaultValue));
  }
  double Float(TKeyIndex k, double defaultValue) const {
    return StrToFloatSetting(String(k, ""), nf_).value_or(defaultValue);
  }
  std::int32_t Int(TKeyIndex k, std::int32_t defaultValue) const {
    return StrToIntSetting(String(k, ""), nf_).value_or(defaultValue);
  }

 private:
  std::vector<TIniEntry> entries_;
  TNumberFormat nf_;
};

// The value of a field as Calculate would take it, or nothing when Calculate would refuse it.
std::optional<double> Accepted(const TEnhancedEdit& field, const TNumberFormat& nf,
                               const TAcceptedRange& range) {
  const auto value = StrToFloatStrict(field.Text(), nf);
  return value && range.Contains(*value) ? value : std::nullopt;
}

std::optional<std::string> FloatText(std::optional<double> value, const TNumberFormat& nf) {
  return value ? std::optional<std::string>(FloatToSettingText(*value, nf)) : std::nullopt;
}

// A line break would end the key's line and let the rest of the value pose as other keys.
std::string FirstLine(std::string_view text) {
  return std::string(text.substr(0, text.find_first_of("\r\n")));
}

// The values to write; a field that Calculate would refuse has none, so the file keeps what it
// held (a stray keystroke or a refused value never becomes the next run's parameter). The
// radius intercept is judged with the slope and minimum height that the file holds after this
// save, as the next Calculate would see them.
std::vector<TIniEntry> ValuesToSave(const TDialogControls& c, const std::string& file,
                                    const TNumberFormat& nf) {
  using enum TControlId;
  const auto range = [](TControlId field, double minHeight = 0.0, double slope = 0.0) {
    return AcceptedRange(field, minHeight, slope);
  };
  const auto minHeight = Accepted(c.edtMinTreeHeight, nf, range(edtMinTreeHeight));
  const auto slope = Accepted(c.edTreeRadiusParam1, nf, range(edTreeRadiusParam1));
  double storedHeight = defaults::MinTreeHeight;
  double storedSlope = defaults::TreeRadiusParam1;
  if (!minHeight || !slope) {
    const TStoredValues stored(file, nf);
    storedHeight = stored.Float(kiMinTreeHeight, defaults::MinTreeHeight);
    storedSlope = stored.Float(kiTreeRadiusParam1, defaults::TreeRadiusParam1);
  }
  const auto intercept =
      Accepted(c.edTreeRadiusParam0, nf,
               range(edTreeRadiusParam0, minHeight.value_or(storedHeight),
                     slope.value_or(storedSlope)));
  auto points = StrToIntStrict(c.edNumCirclePoints.Text(), nf);
  if (points && !range(edNumCirclePoints).Contains(*points)) points.reset();
  const int fileType = c.rgNhmFiletype.ItemIndex();

  auto values = Keys();
  values[kiMinTreeHeight].Value = FloatText(minHeight, nf);
  values[kiTreeRadiusParam0].Value = FloatText(intercept, nf);
  values[kiTreeRadiusParam1].Value = FloatText(slope, nf);
  if (points) values[kiNumCirclePoints].Value = std::to_string(*points);
  values[kiMinClearingArea].Value =
      FloatText(Accepted(c.edtMinClearingArea, nf, range(edtMinClearingArea)), nf);
  values[kiMinWoodedArea].Value =
      FloatText(Accepted(c.edtMinWoodedArea, nf, range(edtMinWoodedArea)), nf);
  // No file type chosen: Calculate refuses that too.
  if (fileType == NhmAsciiGrid || fileType == NhmFloatGrid) {
    values[kiFileType].Value = std::to_string(fileType);
  }
  values[kiNhmDir].Value = FirstLine(c.edtNhmDir.Text);
  values[kiNhmPrefix].Value = FirstLine(c.edtNhmPrefix.Text());
  values[kiNhmSeparator].Value = std::to_string(c.cmbNhmSeparator.ItemIndex);
  values[kiNhmSuffix].Value = FirstLine(c.edtNhmSuffix.Text());
  return values;
}

}  // namespace

std::string SettingsDirOf(std::string_view shapefilePath) { return DirectoryOf(shapefilePath); }

std::string SettingsFilePath(std::string_view settingsDir) {
  return std::string(settingsDir) + PathSeparator + std::string(SettingsFileName);
}

void LoadSettings(TDialogControls& c, const std::string& file) {
  const TStoredValues stored(file, Platform().NumberFormat());
  c.edtMinTreeHeight.SetValue(stored.Float(kiMinTreeHeight, defaults::MinTreeHeight));
  c.edTreeRadiusParam0.SetValue(stored.Float(kiTreeRadiusParam0, defaults::TreeRadiusParam0));
  c.edTreeRadiusParam1.SetValue(stored.Float(kiTreeRadiusParam1, defaults::TreeRadiusParam1));
  c.edNumCirclePoints.SetValueInt(stored.Int(kiNumCirclePoints, defaults::NumCirclePoints));
  c.edtMinClearingArea.SetValue(stored.Float(kiMinClearingArea, defaults::MinClearingArea));
  c.edtMinWoodedArea.SetValue(stored.Float(kiMinWoodedArea, defaults::MinWoodedArea));
  c.rgNhmFiletype.SetItemIndex(stored.Int(kiFileType, NhmAsciiGrid));
  c.edtNhmDir.Text = stored.String(kiNhmDir, "MNA_Laser\\MNH");
  c.edtNhmPrefix.SetText(stored.String(kiNhmPrefix, ""));
  c.cmbNhmSeparator.Select(stored.Int(kiNhmSeparator, 0));
  c.edtNhmSuffix.SetText(stored.String(kiNhmSuffix, std::string(DefaultNhmSuffix)));
}

void SaveSettings(const TDialogControls& controls, const std::string& file,
                  bool& saveSettingsOnClose) {
  if (!saveSettingsOnClose) return;
  std::string error;
  if (Platform().IniWrite(file, ValuesToSave(controls, file, Platform().NumberFormat()), error))
    return;
  Platform().Beep();
  TMessage(TMessageKind::Message, msgSettingsWriteError, {error})
      .After("\r" + Msg(msgErrorMessage) + "\r" + error)
      .Show();
  saveSettingsOnClose = false;
}

}  // namespace qv
