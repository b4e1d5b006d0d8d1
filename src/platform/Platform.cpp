#include "platform/Platform.h"

namespace qv {

namespace {

IPlatform*& Current() {
  static std::unique_ptr<IPlatform> defaultPlatform = CreateDefaultPlatform();
  static IPlatform* current = defaultPlatform.get();
  return current;
}

}  // namespace

void IStatusSink::SetProgress(std::string_view text, const TTileProgress&) { SetText(text); }

void IPlatform::Show(const TShownMessage& message) {
  if (message.Kind == TMessageKind::Error) {
    ShowError(message.Text);
  } else {
    ShowMessage(message.Text);
  }
}

TQuestionResult IPlatform::Ask(std::string_view title, const TShownMessage& question,
                               std::string_view yesCaption, std::string_view noCaption) {
  return AskYesNo(title, question.Text, yesCaption, noCaption);
}

IPlatform& Platform() { return *Current(); }

ScopedPlatform::ScopedPlatform(IPlatform& replacement) : previous_(Current()) {
  Current() = &replacement;
}

ScopedPlatform::~ScopedPlatform() { Current() = previous_; }

std::string IniReadValue(const std::string& file, std::string_view section, std::string_view key,
                         std::string_view defaultValue) {
  TIniEntry entry{section, key, std::nullopt};
  Platform().IniRead(file, {&entry, 1});
  return entry.Value ? *entry.Value : std::string(defaultValue);
}

}  // namespace qv
