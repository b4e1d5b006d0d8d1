// The missing-tiles prompt: asks whether tiles without files may be read as no-data.
//
// The window itself (392 x 103, Yes as default button with the focus, No as cancel button)
// belongs to the platform; this is its logic: captions from the catalogue of the current run,
// the question set by the caller, the modal result read back. Escape and the close box count
// as No.
#pragma once

#include <span>
#include <string>

#include "platform/Platform.h"

namespace qv {

class TIncompleteFilesDialog {
 public:
  // Sets the title and the button captions from the catalogue (the run's language).
  TIncompleteFilesDialog();

  std::string Caption;
  std::string lblMessage;  // the question; a carriage return starts a second line
  std::string btnYes;
  std::string btnNo;

  // Shows the prompt modally and returns its result: Yes, No, or Cancel for the close box. args:
  // the values the question was worded with, for views that hand them on to a program.
  TQuestionResult ShowModal(std::span<const TFormatArg> args = {});
};

// Asks whether to go on with no-data tiles, "Only found out of total NHM files found ...".
// True only for Yes.
bool ConfirmMissingTiles(int found, int total);

}  // namespace qv
