#include "dialog/Settings.h"

#include <optional>
#include <vector>

#include "dialog/languages/Languages.h"
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

std::string ReadString(const std::string& file, std::string_view section, std::string_view key,
                       std::string_view defaultValue) {
  return Truncated(Platform().IniRead(file, section, key, defaultValue));
}

double ReadFloat(const std::string& file, std::string_view section, std::string_view key,
                 double defaultValue, const TNumberFormat& nf) {
  return StrToFloatStrict(ReadString(file, section, key, ""), nf).value_or(defaultValue);
}

std::int32_t ReadInt(const std::string& file, std::string_view section, std::string_view key,
                     std::int32_t defaultValue, const TNumberFormat& nf) {
  return StrToIntSetting(ReadString(file, section, key, ""), nf).value_or(defaultValue);
}

struct TSettingValue {
  std::string_view Section;
  std::string_view Key;
  std::optional<std::string> Text;  // nothing: leave the key as the file has it
};

std::optional<std::string> FloatText(const TEnhancedEdit& field, const TNumberFormat& nf) {
  const auto value = StrToFloatStrict(field.Text(), nf);
  if (!value) return std::nullopt;
  return FloatToSettingText(*value, nf);
}

std::optional<std::string> IntText(const TEnhancedEdit& field, const TNumberFormat& nf) {
  const auto value = StrToIntStrict(field.Text(), nf);
  if (!value) return std::nullopt;
  return std::to_string(*value);
}

// A line break would end the key's line and let the rest of the value pose as other keys.
std::string FirstLine(std::string_view text) {
  return std::string(text.substr(0, text.find_first_of("\r\n")));
}

std::vector<TSettingValue> ValuesToSave(const TDialogControls& c, const TNumberFormat& nf) {
  return {
      {kParameters, kMinTreeHeight, FloatText(c.edtMinTreeHeight, nf)},
      {kParameters, kTreeRadiusParam0, FloatText(c.edTreeRadiusParam0, nf)},
      {kParameters, kTreeRadiusParam1, FloatText(c.edTreeRadiusParam1, nf)},
      {kParameters, kNumCirclePoints, IntText(c.edNumCirclePoints, nf)},
      {kParameters, kMinClearingArea, FloatText(c.edtMinClearingArea, nf)},
      {kParameters, kMinWoodedArea, FloatText(c.edtMinWoodedArea, nf)},
      {kFiles, kFileType, std::to_string(c.rgNhmFiletype.ItemIndex())},
      {kFiles, kNhmDir, FirstLine(c.edtNhmDir.Text)},
      {kFiles, kNhmPrefix, FirstLine(c.edtNhmPrefix.Text())},
      {kFiles, kNhmSeparator, std::to_string(c.cmbNhmSeparator.ItemIndex)},
      {kFiles, kNhmSuffix, FirstLine(c.edtNhmSuffix.Text())},
  };
}

}  // namespace

std::string SettingsDirOf(std::string_view shapefilePath) { return DirectoryOf(shapefilePath); }

std::string SettingsFilePath(std::string_view settingsDir) {
  return std::string(settingsDir) + PathSeparator + std::string(SettingsFileName);
}

void LoadSettings(TDialogControls& c, const std::string& file) {
  const TNumberFormat nf = Platform().NumberFormat();
  c.edtMinTreeHeight.SetValue(ReadFloat(file, kParameters, kMinTreeHeight, 2, nf));
  c.edTreeRadiusParam0.SetValue(ReadFloat(file, kParameters, kTreeRadiusParam0, 2.6894, nf));
  c.edTreeRadiusParam1.SetValue(ReadFloat(file, kParameters, kTreeRadiusParam1, 0.1117, nf));
  c.edNumCirclePoints.SetValueInt(ReadInt(file, kParameters, kNumCirclePoints, 36, nf));
  c.edtMinClearingArea.SetValue(ReadFloat(file, kParameters, kMinClearingArea, 100, nf));
  c.edtMinWoodedArea.SetValue(ReadFloat(file, kParameters, kMinWoodedArea, 200, nf));
  c.rgNhmFiletype.SetItemIndex(ReadInt(file, kFiles, kFileType, 0, nf));
  c.edtNhmDir.Text = ReadString(file, kFiles, kNhmDir, "MNA_Laser\\MNH");
  c.edtNhmPrefix.SetText(ReadString(file, kFiles, kNhmPrefix, ""));
  c.cmbNhmSeparator.Select(ReadInt(file, kFiles, kNhmSeparator, 0, nf));
  c.edtNhmSuffix.SetText(ReadString(file, kFiles, kNhmSuffix, "_dhm_grid1"));
}

void SaveSettings(const TDialogControls& controls, const std::string& file,
                  bool& saveSettingsOnClose) {
  if (!saveSettingsOnClose) return;
  const TNumberFormat nf = Platform().NumberFormat();
  for (const auto& v : ValuesToSave(controls, nf)) {
    if (!v.Text) continue;
    std::string error;
    if (Platform().IniWrite(file, v.Section, v.Key, *v.Text, error)) continue;
    Platform().Beep();
    Platform().ShowMessage(Msg(msgSettingsWriteError) + "\r" + Msg(msgErrorMessage) + "\r" +
                           error);
    saveSettingsOnClose = false;
    return;
  }
}

}  // namespace qv
