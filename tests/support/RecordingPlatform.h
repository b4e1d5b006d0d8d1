// A platform for tests: records what the core shows (beeps, messages, questions) and answers
// questions from a script; files go to the real file system through the default platform,
// unless a test makes them fail.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/Platform.h"

namespace qv::test {

struct TRecordedMessage {
  enum class Kind { Plain, Error, Question } kind;
  std::string text;
  std::string title;  // questions only
  std::string id;     // the catalogue identifier it was shown with; empty for a fixed text
};

class RecordingPlatform final : public IPlatform {
 public:
  RecordingPlatform() : real_(CreateDefaultPlatform()), scope_(*this) {}

  // --- what the core did ---
  int beeps = 0;
  std::vector<TRecordedMessage> messages;
  bool busy = false;

  // --- how the platform answers ---
  std::deque<TQuestionResult> answers;  // empty: the default button (Yes)
  TLocalDate date{2026, 12, 6};
  std::uint32_t localeId = 0x407;
  TNumberFormat numberFormat{};
  bool failNumberFormat = false;  // NumberFormat throws, as a failed allocation would
  // Return false to make a file operation on that path fail.
  std::function<bool(const std::string& path)> allowWrite = [](const std::string&) { return true; };

  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    for (const auto& m : messages) out.push_back(m.text);
    return out;
  }
  void Clear() { beeps = 0, messages.clear(); }

  void Beep() override { ++beeps; }
  void ShowMessage(std::string_view text) override {
    messages.push_back({TRecordedMessage::Kind::Plain, std::string(text), {}, {}});
  }
  void ShowError(std::string_view text) override {
    messages.push_back({TRecordedMessage::Kind::Error, std::string(text), {}, {}});
  }
  void Show(const TShownMessage& m) override {
    IPlatform::Show(m);
    messages.back().id = m.Id;
  }
  TQuestionResult Ask(std::string_view title, const TShownMessage& question, std::string_view yes,
                      std::string_view no) override {
    const auto answer = AskYesNo(title, question.Text, yes, no);
    messages.back().id = question.Id;
    return answer;
  }
  TQuestionResult AskYesNo(std::string_view title, std::string_view text, std::string_view,
                           std::string_view) override {
    messages.push_back(
        {TRecordedMessage::Kind::Question, std::string(text), std::string(title), {}});
    const auto a = answers.empty() ? TQuestionResult::Yes : answers.front();
    if (!answers.empty()) answers.pop_front();
    return a;
  }
  bool SetBusyCursor(bool b) override { return std::exchange(busy, b); }

  bool FileExists(const std::string& p) override { return real_->FileExists(p); }
  bool DirectoryExists(const std::string& p) override { return real_->DirectoryExists(p); }
  bool CreateDirectory(const std::string& p) override {
    return allowWrite(p) && real_->CreateDirectory(p);
  }
  bool DeleteFile(const std::string& p) override { return allowWrite(p) && real_->DeleteFile(p); }
  bool RenameFile(const std::string& f, const std::string& t) override {
    return allowWrite(t) && real_->RenameFile(f, t);
  }
  std::string ResolveExisting(const std::string& p) override { return real_->ResolveExisting(p); }

  TLocalDate LocalDate() override { return date; }
  std::uint32_t RecordedLocale() override { return localeId; }
  TNumberFormat NumberFormat() override {
    if (failNumberFormat) throw std::runtime_error("no number format");
    return numberFormat;
  }

  void IniRead(const std::string& file, std::span<TIniEntry> entries) override {
    real_->IniRead(file, entries);
  }
  bool IniWrite(const std::string& file, std::span<const TIniEntry> entries,
                std::string& error) override {
    if (!allowWrite(file)) {
      error = "Unable to write to " + file;
      return false;
    }
    return real_->IniWrite(file, entries, error);
  }

 private:
  std::unique_ptr<IPlatform> real_;
  ScopedPlatform scope_;
};

}  // namespace qv::test
