#include "prompt/IncompleteFilesDialog.h"

#include <cstdint>

#include "catalogue/Languages.h"
#include "platform/Format.h"

namespace qv {

TIncompleteFilesDialog::TIncompleteFilesDialog()
    : Caption(Msg(msgMissingFilesTitle)), btnYes(Msg(msgYes)), btnNo(Msg(msgNo)) {}

TQuestionResult TIncompleteFilesDialog::ShowModal() {
  return Platform().AskYesNo(Caption, lblMessage, btnYes, btnNo);
}

bool ConfirmMissingTiles(int found, int total) {
  Platform().Beep();
  TIncompleteFilesDialog prompt;
  prompt.lblMessage =
      Format(Msg(msgMissingFilesPrompt), {std::int64_t{found}, std::int64_t{total}});
  return prompt.ShowModal() == TQuestionResult::Yes;
}

}  // namespace qv
