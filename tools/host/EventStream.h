// The host program's events (--events): one JSON object per line on standard output, flushed
// per line, so that a program driving the host (the QGIS plugin) never reads the texts meant for
// people. Every object has "event"; the fields of each kind are described in the README
// ("Events for programs") and never change meaning, only new fields or kinds may be added.
#pragma once

#include <cstdint>
#include <ostream>
#include <string_view>

#include "RunSummary.h"
#include "dialog/RunObserver.h"

namespace qv::host {

class TEventStream final : public IRunObserver {
 public:
  explicit TEventStream(std::ostream& out) : out_(out) {}

  void Information(std::string_view text) override;
  void Message(const TShownMessage& message) override;
  void Question(std::string_view title, const TShownMessage& question, bool yes) override;
  void Progress(const TTileProgress& progress, std::string_view text) override;
  void Status(std::string_view text) override;

  // A command line refused before anything ran (the program exits with 2).
  void Usage(std::string_view problem);
  // What the program could not do apart from the run (it exits with 1).
  void Failure(std::string_view problem);
  // After a completed run (1 to 4): the tiles, the layers' figures and paths.
  void Summary(const TRunFigures& figures);
  // How much of the share's work is done: every (parcel, block) is one piece of it.
  void ShareProgress(std::size_t done, std::size_t total);
  // Always the last event of a run: what quelvaris returned.
  void Result(std::int32_t status);

 private:
  void Write(const class TJsonObject& object);
  std::ostream& out_;
};

// The whole catalogue as one JSON object: identifier -> {"en": ..., "fr": ..., "de": ...}.
void WriteCatalogue(std::ostream& out);

}  // namespace qv::host
