// The Windows platform: the ANSI (8-bit) API throughout, so every string is in the system's
// ANSI code page, as the host and its shapefile paths are.
#include <array>
#include <atomic>

#include "platform/Platform.h"
#include "platform/platform_win32.h"

namespace qv {

namespace {

// The locale that DllMain recorded; 0 until then (and for ever in a program without the DLL).
std::atomic<LCID> loadLocale{0};

std::string Zeroed(std::string_view text) { return std::string(text); }

DWORD Attributes(const std::string& path) { return ::GetFileAttributesA(path.c_str()); }

// The full path that the INI API works on, for messages.
std::string FullPathOf(const std::string& file) {
  std::array<char, MAX_PATH> buffer{};
  const DWORD n =
      ::GetFullPathNameA(file.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
  if (n == 0 || n >= buffer.size()) return file;
  return std::string(buffer.data(), n);
}

std::string LocaleText(LCTYPE what, const std::string& fallback) {
  std::array<char, 16> buffer{};
  const int n =
      ::GetLocaleInfoA(LOCALE_USER_DEFAULT, what, buffer.data(), static_cast<int>(buffer.size()));
  // n counts the terminating NUL.
  return n > 0 ? std::string(buffer.data(), static_cast<std::size_t>(n - 1)) : fallback;
}

class Win32Platform final : public IPlatform {
 public:
  void Beep() override { ::MessageBeep(MB_OK); }
  void ShowMessage(std::string_view text) override { Box(text, MB_OK); }
  void ShowError(std::string_view text) override { Box(text, MB_OK | MB_ICONERROR); }
  TQuestionResult AskYesNo(std::string_view title, std::string_view text,
                           std::string_view yesCaption, std::string_view noCaption) override {
    return ShowYesNoPrompt(MessageOwner(), title, text, yesCaption, noCaption);
  }
  bool SetBusyCursor(bool busy) override {
    const bool previous = busy_;
    if (busy && !busy_) {
      savedCursor_ = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
    } else if (!busy && busy_) {
      ::SetCursor(savedCursor_ ? savedCursor_ : ::LoadCursor(nullptr, IDC_ARROW));
      savedCursor_ = nullptr;
    }
    busy_ = busy;
    return previous;
  }

  bool FileExists(const std::string& path) override {
    const DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
  }
  bool DirectoryExists(const std::string& path) override {
    const DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
  }
  bool CreateDirectory(const std::string& path) override {
    return ::CreateDirectoryA(path.c_str(), nullptr) != 0;
  }
  bool DeleteFile(const std::string& path) override { return ::DeleteFileA(path.c_str()) != 0; }
  bool RenameFile(const std::string& from, const std::string& to) override {
    return ::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
  }
  // Names on Windows do not depend on case, so a path either opens as written or not at all.
  std::string ResolveExisting(const std::string& path) override {
    if (path.empty() || Attributes(path) == INVALID_FILE_ATTRIBUTES) return {};
    return path;
  }

  TLocalDate LocalDate() override {
    SYSTEMTIME st{};
    ::GetLocalTime(&st);
    return {st.wYear, st.wMonth, st.wDay};
  }
  std::uint32_t RecordedLocale() override {
    // A program that links the core has no DllMain: its first question stands in for the load.
    LCID expected = 0;
    loadLocale.compare_exchange_strong(expected, ::GetThreadLocale());
    const LCID lcid = loadLocale.load();
    return lcid != 0 ? static_cast<std::uint32_t>(lcid) : std::uint32_t{0x409};
  }
  TNumberFormat NumberFormat() override {
    TNumberFormat format;
    format.DecimalSeparator = LocaleText(LOCALE_SDECIMAL, format.DecimalSeparator);
    format.GroupSeparator = LocaleText(LOCALE_STHOUSAND, format.GroupSeparator);
    return format;
  }

  void IniRead(const std::string& file, std::span<TIniEntry> entries) override {
    // A value never holds a line break, so this default tells a missing key from any value.
    constexpr const char* kAbsent = "\n";
    for (TIniEntry& e : entries) {
      // The settings have always been read through a buffer of this size: longer values are cut.
      std::array<char, 2048> buffer{};
      const DWORD n = ::GetPrivateProfileStringA(Zeroed(e.Section).c_str(), Zeroed(e.Key).c_str(),
                                                 kAbsent, buffer.data(),
                                                 static_cast<DWORD>(buffer.size()), file.c_str());
      const std::string value(buffer.data(), n);
      e.Value = value == kAbsent ? std::nullopt : std::optional<std::string>(value);
    }
  }
  bool IniWrite(const std::string& file, std::span<const TIniEntry> entries,
                std::string& error) override {
    for (const TIniEntry& e : entries) {
      if (!e.Value) continue;
      if (!::WritePrivateProfileStringA(Zeroed(e.Section).c_str(), Zeroed(e.Key).c_str(),
                                        e.Value->c_str(), file.c_str())) {
        error = "Unable to write to " + FullPathOf(file);
        return false;
      }
    }
    return true;
  }

 private:
  // Owned by the dialog (or the active window), so the box is modal to it.
  static void Box(std::string_view text, UINT style) {
    ::MessageBoxA(MessageOwner(), Zeroed(text).c_str(), "quelvaris", style);
  }

  bool busy_ = false;
  HCURSOR savedCursor_ = nullptr;
};

}  // namespace

void RecordLoadLocale(LCID locale) noexcept { loadLocale.store(locale); }

std::unique_ptr<IPlatform> CreateDefaultPlatform() { return std::make_unique<Win32Platform>(); }

}  // namespace qv
