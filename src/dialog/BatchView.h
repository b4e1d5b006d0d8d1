// The batch view: the parameter dialog run without windows, as a script of user actions.
//
// Set-up as the window's first activation, with the information lines printed (and why there is
// no tile to calculate, where the window would only show an empty tile list); then each edit in
// order as if the user had typed it, then a press of Calculate (or Cancel), and Cancel if the
// dialog is still open after that. An edit that cannot be made stops the script before
// Calculate. Message boxes and prompts go to the console output (see TBatchPlatform); a refused
// number is named with its caption and accepted range, since no focus shows the field.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "dialog/ConsoleOutput.h"
#include "dialog/InterfaceUnit.h"
#include "dialog/RunObserver.h"
#include "platform/Platform.h"

namespace qv {

// TEXT typed into the control NAME. The numeric and text fields take the text as typed; in the
// drop-down lists a text equal to one of the items chooses that item, any other text is typed
// in; the file-type group takes the index of the choice.
struct TControlEdit {
  std::string Name;
  std::string Text;
};

enum class TBatchButton { Calculate, Cancel };

// What a completed run leaves for a summary: the layers it wrote and the tiles it read.
struct TRunReport {
  std::string WoodedShapePath;
  std::string CrownShapePath;
  std::int32_t Tiles = 0;      // of the layout
  std::int32_t TilesRead = 0;  // the others had no file and were read as no-data
};

struct TBatchOptions {
  std::vector<TControlEdit> Edits;
  TBatchButton Press = TBatchButton::Calculate;
  TQuestionResult Answer = TQuestionResult::Yes;  // to the missing-tiles prompt
  TProgressStyle Progress = TProgressStyle::Sparse;
  std::ostream* Output = nullptr;  // messages, prompts and progress; null: standard error
  IRunObserver* Observer = nullptr;  // told the same with identities and numbers; may be null
  TRunReport* Report = nullptr;    // filled when a Calculate completes; may be null
};

// Why an edit cannot be made by any user (an unknown control, a button, a file-type index other
// than 0 and 1), or nothing.
std::optional<std::string> CheckControlEdit(const TControlEdit& edit);

// Makes one edit on the open form. Throws std::invalid_argument for an edit that CheckControlEdit
// refuses and for a control that is disabled.
void ApplyControlEdit(TInterfaceForm& form, const TControlEdit& edit);

// Shows the form modally, the batch way; returns when it is closed.
void ShowModalBatch(TInterfaceForm& form, const TBatchOptions& options, TConsoleOutput& console);

}  // namespace qv
