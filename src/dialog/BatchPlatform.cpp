#include "dialog/BatchPlatform.h"

namespace qv {

void TBatchPlatform::Show(const TShownMessage& message) {
  console_.Message(message.Text);
  if (observer_ != nullptr) observer_->Message(message);
}

TQuestionResult TBatchPlatform::Ask(std::string_view title, const TShownMessage& question,
                                    std::string_view yesCaption, std::string_view noCaption) {
  const bool yes = answer_ == TQuestionResult::Yes;
  console_.Prompt(title, question.Text, yes ? yesCaption : noCaption);
  if (observer_ != nullptr) observer_->Question(title, question, yes);
  return answer_;
}

}  // namespace qv
