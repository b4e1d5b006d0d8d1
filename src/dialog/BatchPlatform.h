// The platform of a dialog without windows: everything goes to the platform it wraps, except
// what would need a window. Message boxes and prompts are printed on the console output, and the
// missing-tiles prompt takes the answer given in advance. An observer, when there is one, is told
// each of them with its identity.
#pragma once

#include "dialog/ConsoleOutput.h"
#include "dialog/RunObserver.h"
#include "platform/Platform.h"

namespace qv {

class TBatchPlatform final : public IPlatform {
 public:
  TBatchPlatform(IPlatform& inner, TQuestionResult answer, TConsoleOutput& console,
                 IRunObserver* observer = nullptr)
      : inner_(inner), answer_(answer), console_(console), observer_(observer) {}

  void Beep() override { inner_.Beep(); }
  void ShowMessage(std::string_view text) override { Show({{}, TMessageKind::Message, text, {}}); }
  void ShowError(std::string_view text) override { Show({{}, TMessageKind::Error, text, {}}); }
  void Show(const TShownMessage& message) override;
  TQuestionResult AskYesNo(std::string_view title, std::string_view text,
                           std::string_view yesCaption, std::string_view noCaption) override {
    return Ask(title, {{}, TMessageKind::Message, text, {}}, yesCaption, noCaption);
  }
  TQuestionResult Ask(std::string_view title, const TShownMessage& question,
                      std::string_view yesCaption, std::string_view noCaption) override;
  bool SetBusyCursor(bool busy) override { return inner_.SetBusyCursor(busy); }

  bool FileExists(const std::string& path) override { return inner_.FileExists(path); }
  bool DirectoryExists(const std::string& path) override { return inner_.DirectoryExists(path); }
  bool CreateDirectory(const std::string& path) override { return inner_.CreateDirectory(path); }
  bool DeleteFile(const std::string& path) override { return inner_.DeleteFile(path); }
  bool RenameFile(const std::string& from, const std::string& to) override {
    return inner_.RenameFile(from, to);
  }
  std::string ResolveExisting(const std::string& path) override {
    return inner_.ResolveExisting(path);
  }

  TLocalDate LocalDate() override { return inner_.LocalDate(); }
  std::uint32_t RecordedLocale() override { return inner_.RecordedLocale(); }
  TNumberFormat NumberFormat() override { return inner_.NumberFormat(); }

  void IniRead(const std::string& file, std::span<TIniEntry> entries) override {
    inner_.IniRead(file, entries);
  }
  bool IniWrite(const std::string& file, std::span<const TIniEntry> entries,
                std::string& error) override {
    return inner_.IniWrite(file, entries, error);
  }

 private:
  IPlatform& inner_;
  TQuestionResult answer_;
  TConsoleOutput& console_;
  IRunObserver* observer_;
};

}  // namespace qv
