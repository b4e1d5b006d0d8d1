#include "prompt/IncompleteFilesDialog.h"

#include <cstdint>

#include "catalogue/Message.h"
#include "platform/Format.h"

namespace qv {

TIncompleteFilesDialog::TIncompleteFilesDialog()
    : Caption(Msg(msgMissingFilesTitle)), btnYes(Msg(msgYes)), btnNo(Msg(msgNo)) {}

TQuestionResult TIncompleteFilesDialog::ShowModal(std::span<const TFormatArg> args) {
  const TShownMessage question{MsgName(msgMissingFilesPrompt), TMessageKind::Message, lblMessage,
                               args};
  return Platform().Ask(Caption, question, btnYes, btnNo);
}

bool ConfirmMissingTiles(int found, int total) {
  Platform().Beep();
  TIncompleteFilesDialog prompt;
  const TFormatArg counts[] = {std::int64_t{found}, std::int64_t{total}};
  prompt.lblMessage = FormatArgs(Msg(msgMissingFilesPrompt), counts);
  return prompt.ShowModal(counts) == TQuestionResult::Yes;
}

}  // namespace qv
