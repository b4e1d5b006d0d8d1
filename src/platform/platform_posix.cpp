// The POSIX platform: message boxes and questions go to standard error (there is no window
// system a library could rely on), files through POSIX calls, the locale from the environment.
#include <dirent.h>
#include <langinfo.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <vector>

#include "platform/IniStore.h"
#include "platform/Locale.h"
#include "platform/Paths.h"
#include "platform/Platform.h"

namespace qv {

namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

bool StatIs(const std::string& path, mode_t kind) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && (st.st_mode & S_IFMT) == kind;
}

bool SameTextIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

// The entry of dir whose name equals name without regard to case, or empty.
std::string FindEntryIgnoringCase(const std::string& dir, const std::string& name) {
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return {};
  std::string found;
  while (const dirent* e = ::readdir(d)) {
    if (SameTextIgnoringCase(e->d_name, name)) {
      found = e->d_name;
      break;
    }
  }
  ::closedir(d);
  return found;
}

bool Exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

class PosixPlatform final : public IPlatform {
 public:
  void Beep() override {}
  void ShowMessage(std::string_view text) override { Print(text); }
  void ShowError(std::string_view text) override { Print(text); }
  TQuestionResult AskYesNo(std::string_view title, std::string_view text, std::string_view yes,
                           std::string_view) override {
    // A library has no terminal dialogue of its own: the prompt's default button answers.
    Print(std::string(title) + ": " + std::string(text) + " -> " + std::string(yes));
    return TQuestionResult::Yes;
  }
  bool SetBusyCursor(bool busy) override {
    const bool previous = busy_;
    busy_ = busy;
    return previous;
  }

  bool FileExists(const std::string& path) override {
    const auto real = ResolveExisting(path);
    return !real.empty() && StatIs(real, S_IFREG);
  }
  bool DirectoryExists(const std::string& path) override {
    const auto real = ResolveExisting(path);
    return !real.empty() && StatIs(real, S_IFDIR);
  }
  bool CreateDirectory(const std::string& path) override {
    return ::mkdir(NativePath(path).c_str(), 0777) == 0;
  }
  bool DeleteFile(const std::string& path) override {
    const auto real = ResolveExisting(path);
    return !real.empty() && StatIs(real, S_IFREG) && ::unlink(real.c_str()) == 0;
  }
  bool RenameFile(const std::string& from, const std::string& to) override {
    return std::rename(NativePath(from).c_str(), NativePath(to).c_str()) == 0;
  }
  std::string ResolveExisting(const std::string& path) override {
    const std::string native = NativePath(path);
    if (native.empty()) return {};
    if (Exists(native)) return native;
    // Walk the components, matching each without regard to case where the exact name fails.
    std::string resolved = native.front() == '/' ? "/" : "";
    std::size_t pos = native.front() == '/' ? 1 : 0;
    while (pos <= native.size()) {
      auto end = native.find('/', pos);
      if (end == std::string::npos) end = native.size();
      const std::string part = native.substr(pos, end - pos);
      pos = end + 1;
      if (part.empty()) continue;
      std::string candidate = resolved + part;
      if (!Exists(candidate)) {
        const auto entry = FindEntryIgnoringCase(resolved, part);
        if (entry.empty()) return {};
        candidate = resolved + entry;
      }
      resolved = candidate;
      if (end < native.size()) resolved += '/';
    }
    return Exists(resolved) ? resolved : std::string();
  }

  TLocalDate LocalDate() override {
    const std::time_t now = std::time(nullptr);
    std::tm tm {};
    ::localtime_r(&now, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
  }
  std::uint32_t RecordedLocale() override {
    // Recorded once, as the thread locale is on Windows when the library is loaded.
    static const std::uint32_t id = LocaleIdFromName(MessagesLocaleName(Env));
    return id;
  }
  TNumberFormat NumberFormat() override {
    TNumberFormat format;
    std::string name = Env("LC_ALL");
    if (name.empty()) name = Env("LC_NUMERIC");
    if (name.empty()) name = Env("LANG");
    if (name.empty()) return format;
    locale_t loc = ::newlocale(LC_NUMERIC_MASK, name.c_str(), static_cast<locale_t>(0));
    if (loc == static_cast<locale_t>(0)) return format;
    const char* dec = ::nl_langinfo_l(RADIXCHAR, loc);
    const char* grp = ::nl_langinfo_l(THOUSEP, loc);
    if (dec && *dec) format.DecimalSeparator = dec;
    format.GroupSeparator = grp ? grp : "";
    ::freelocale(loc);
    return format;
  }

  void IniRead(const std::string& file, std::span<TIniEntry> entries) override {
    const auto real = ResolveExisting(file);
    ReadIniFile(real.empty() ? NativePath(file) : real, entries);
  }
  bool IniWrite(const std::string& file, std::span<const TIniEntry> entries,
                std::string& error) override {
    const auto real = ResolveExisting(file);
    return WriteIniFile(real.empty() ? NativePath(file) : real, entries, error);
  }

 private:
  static void Print(std::string_view text) {
    // Carriage returns break the lines of a message box.
    std::string line(text);
    for (char& c : line) {
      if (c == '\r') c = '\n';
    }
    std::cerr << line << std::endl;
  }

  bool busy_ = false;
};

}  // namespace

std::unique_ptr<IPlatform> CreateDefaultPlatform() { return std::make_unique<PosixPlatform>(); }

}  // namespace qv
