#include "dialog/BatchPlatform.h"

namespace qv {

TQuestionResult TBatchPlatform::AskYesNo(std::string_view title, std::string_view text,
                                         std::string_view yesCaption,
                                         std::string_view noCaption) {
  console_.Prompt(title, text, answer_ == TQuestionResult::Yes ? yesCaption : noCaption);
  return answer_;
}

}  // namespace qv
