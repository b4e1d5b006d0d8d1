// The thin layer between the core and the operating system.
//
// Everything the core needs from the system goes through here: the user interface seen from the
// computation (beep, message boxes, the Yes/No question of the missing-tiles prompt, the status
// text, the hourglass cursor), the file system, the local date, the number format and the
// locale of the thread that loaded the library, and INI access by section and key.
//
// The active platform is a process-wide object. The POSIX and Win32 builds each provide a
// default; tests install a recording double with ScopedPlatform and read back what the core
// showed. Nothing here touches the process-wide C locale.
//
// Strings: on Windows every string is 8-bit in the ANSI code page, on POSIX UTF-8.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/Format.h"

namespace qv {

enum class TQuestionResult { Yes, No, Cancel };

struct TLocalDate {
  int Year = 1970;  // full year, e.g. 2026
  int Month = 1;    // 1..12
  int Day = 1;      // 1..31
};

// The system's number format for the dialog and the settings file. Separators are strings
// because a UTF-8 group separator may take several bytes (de_CH uses U+2019).
struct TNumberFormat {
  std::string DecimalSeparator = ".";
  std::string GroupSeparator = ",";
};

// One key of an INI file: the value read (nothing when absent), or the value to write (nothing:
// the key stays as the file has it).
struct TIniEntry {
  std::string_view Section;
  std::string_view Key;
  std::optional<std::string> Value;
};

// How far the tile pass is: the tile's number in the pass (from 1), the row of the tile, and
// the share of the tile's rows done.
struct TTileProgress {
  std::int64_t Tile = 0;
  std::int64_t Row = 0;
  std::int64_t Percent = 0;
};

// Where the computation writes its progress texts (the dialog's status bar).
class IStatusSink {
 public:
  virtual ~IStatusSink() = default;
  // Sets the simple text and repaints at once.
  virtual void SetText(std::string_view text) = 0;
  // A progress text with the numbers it says, for views that hand them on to a program; the
  // default shows the text.
  virtual void SetProgress(std::string_view text, const TTileProgress& progress);
};

enum class TMessageKind { Message, Error };

// A message box as the code that shows it names it. People read the text; a program reading a
// run (the host program's event stream) goes by the identifier and the arguments, which stay
// the same whatever the language. Everything is borrowed for the duration of the call.
struct TShownMessage {
  std::string_view Id;  // the catalogue identifier ("msgFileNotFound"); empty for fixed texts
  TMessageKind Kind = TMessageKind::Message;
  std::string_view Text;
  std::span<const TFormatArg> Args;  // the values the text was made with
};

class IPlatform {
 public:
  virtual ~IPlatform() = default;

  // --- user interface ---
  virtual void Beep() = 0;
  // Message box with an OK button, no icon.
  virtual void ShowMessage(std::string_view text) = 0;
  // Message box with the error icon and an OK button.
  virtual void ShowError(std::string_view text) = 0;
  // A message with its identity; the default shows its text with ShowMessage or ShowError.
  virtual void Show(const TShownMessage& message);
  // Modal Yes/No question; Yes is the default button, Escape and the close box give Cancel.
  virtual TQuestionResult AskYesNo(std::string_view title, std::string_view text,
                                   std::string_view yesCaption, std::string_view noCaption) = 0;
  // The same question with the identity of its text; the default asks AskYesNo.
  virtual TQuestionResult Ask(std::string_view title, const TShownMessage& question,
                              std::string_view yesCaption, std::string_view noCaption);
  // Hourglass cursor on/off; returns the previous state so callers can restore it.
  virtual bool SetBusyCursor(bool busy) = 0;

  // --- files and directories (paths in the platform's own conventions) ---
  virtual bool FileExists(const std::string& path) = 0;
  virtual bool DirectoryExists(const std::string& path) = 0;
  // Creates one directory level; parents are not created.
  virtual bool CreateDirectory(const std::string& path) = 0;
  virtual bool DeleteFile(const std::string& path) = 0;
  // Renames, replacing an existing target.
  virtual bool RenameFile(const std::string& from, const std::string& to) = 0;
  // The name under which an existing file or directory can be opened: the path itself when it
  // exists as written; on POSIX also a case-insensitive match, component by component (NHM
  // deliveries are often made on Windows). Empty when nothing matches.
  virtual std::string ResolveExisting(const std::string& path) = 0;

  // --- time, locale, number format ---
  virtual TLocalDate LocalDate() = 0;
  // Locale identifier recorded when the library was loaded (Windows LCID form; the primary
  // language is its low 10 bits, 0x0C is French). 0x409 when the system reports none.
  virtual std::uint32_t RecordedLocale() = 0;
  virtual TNumberFormat NumberFormat() = 0;

  // --- INI files ---
  // Reads the value of every entry: nothing for a key, section or file that is missing, and for
  // a file that cannot be read (which is never waited on: a FIFO or device is not read).
  virtual void IniRead(const std::string& file, std::span<TIniEntry> entries) = 0;
  // Sets every entry that has a value, keeping the rest of the file. The POSIX platform writes
  // the file once, whole, in place of the old one; Windows writes through its profile API, key
  // by key. On failure returns false and sets error to the system's text.
  virtual bool IniWrite(const std::string& file, std::span<const TIniEntry> entries,
                        std::string& error) = 0;
};

// The active platform.
IPlatform& Platform();

// Installs another platform (a test double, a batch view) for the lifetime of this object.
class ScopedPlatform {
 public:
  explicit ScopedPlatform(IPlatform& replacement);
  ~ScopedPlatform();
  ScopedPlatform(const ScopedPlatform&) = delete;
  ScopedPlatform& operator=(const ScopedPlatform&) = delete;

 private:
  IPlatform* previous_;
};

// One value of an INI file through the active platform; defaultValue when it is absent.
std::string IniReadValue(const std::string& file, std::string_view section, std::string_view key,
                         std::string_view defaultValue);

// Builds the default platform of this build (POSIX or Win32).
std::unique_ptr<IPlatform> CreateDefaultPlatform();

}  // namespace qv
