#include "catalogue/Message.h"

namespace qv {

TMessage::TMessage(TMessageKind kind, TMsg id, std::initializer_list<TFormatArg> args)
    : kind_(kind), id_(id) {
  // Owned, so that a message can be kept and shown after its arguments are gone.
  for (const TFormatArg& arg : args) {
    if (const auto* number = std::get_if<std::int64_t>(&arg)) {
      args_.emplace_back(*number);
    } else {
      args_.emplace_back(std::string(std::get<std::string_view>(arg)));
    }
  }
}

TMessage& TMessage::Before(std::string_view text) {
  before_ = std::string(text);
  return *this;
}

TMessage& TMessage::After(std::string_view text) {
  after_ = std::string(text);
  return *this;
}

std::vector<TFormatArg> TMessage::ArgViews() const {
  std::vector<TFormatArg> views;
  for (const TOwnedArg& arg : args_) {
    if (const auto* number = std::get_if<std::int64_t>(&arg)) {
      views.emplace_back(*number);
    } else {
      views.emplace_back(std::string_view(std::get<std::string>(arg)));
    }
  }
  return views;
}

TMessage& TMessage::Worded(std::string_view text) {
  worded_ = std::string(text);
  return *this;
}

std::string TMessage::Text() const {
  return worded_ ? *worded_ : before_ + FormatArgs(Msg(id_), ArgViews()) + after_;
}

void TMessage::Show() const {
  const std::vector<TFormatArg> args = ArgViews();
  const std::string text = Text();
  Platform().Show({MsgName(id_), kind_, text, args});
}

}  // namespace qv
