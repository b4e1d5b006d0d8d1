// What a program that watches a batch run is told, beside the texts people read on the console:
// every shown message with its identity, the missing-tiles question with the answer given, the
// progress as numbers. The host program turns it into its event stream.
#pragma once

#include <string_view>

#include "platform/Platform.h"

namespace qv {

class IRunObserver {
 public:
  virtual ~IRunObserver() = default;
  // A line the window shows above the parameters (the extent, the shapefile, the tiles).
  virtual void Information(std::string_view text) = 0;
  // A message box; a text outside the catalogue comes with an empty identifier.
  virtual void Message(const TShownMessage& message) = 0;
  // A Yes/No question and the answer it was given (true: Yes).
  virtual void Question(std::string_view title, const TShownMessage& question, bool yes) = 0;
  // The tile pass's progress, and the status-bar text that says it.
  virtual void Progress(const TTileProgress& progress, std::string_view text) = 0;
  // A status-bar text that is not progress (the run's closing steps).
  virtual void Status(std::string_view text) = 0;
};

}  // namespace qv
