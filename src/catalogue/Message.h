// A message of the catalogue as the code that shows it names it: the entry, its kind and the
// values that fill its placeholders, shown through the platform with its identity.
//
// The text is the entry's in the run's language with the placeholders filled (Format). Some
// boxes put a line before the entry (a directory, the window's title) or text after it (a path,
// the system's error): Before and After add it, so the text reads as it always has while the
// identity stays the entry's. A unit that words the entry its own way gives the whole text
// (Worded).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "catalogue/Languages.h"
#include "platform/Format.h"
#include "platform/Platform.h"

namespace qv {

// The identifier as written in the source ("msgFileNotFound"); empty outside the catalogue.
std::string_view MsgName(TMsg id);

class TMessage {
 public:
  TMessage(TMessageKind kind, TMsg id, std::initializer_list<TFormatArg> args = {});

  // Text shown before the entry's text.
  TMessage& Before(std::string_view text);
  // Text shown right after the entry's text.
  TMessage& After(std::string_view text);
  // The whole text, in place of the entry's with its additions.
  TMessage& Worded(std::string_view text);

  std::string Text() const;
  // Shows the message through the active platform.
  void Show() const;

 private:
  using TOwnedArg = std::variant<std::int64_t, std::string>;
  std::vector<TFormatArg> ArgViews() const;

  TMessageKind kind_;
  TMsg id_;
  std::vector<TOwnedArg> args_;
  std::string before_;
  std::string after_;
  std::optional<std::string> worded_;
};

// The usual ways to show an entry: a plain message box, or one with the error icon.
inline void ShowMsg(TMsg id, std::initializer_list<TFormatArg> args = {}) {
  TMessage(TMessageKind::Message, id, args).Show();
}
inline void ShowErrorMsg(TMsg id, std::initializer_list<TFormatArg> args = {}) {
  TMessage(TMessageKind::Error, id, args).Show();
}

}  // namespace qv
