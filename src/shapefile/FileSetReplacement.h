// Replaces a set of files (the .shp, .shx and .dbf of a layer) as a whole.
//
// The new files are written under temporary names beside their targets, so that the final
// renames stay within one directory. Only when all of them are complete does Commit move the
// previous files aside, move the new ones in and delete the previous ones; if any rename fails,
// the previous files are put back. A failed or abandoned write therefore never leaves a
// truncated layer, or a mix of old and new files, in place of the previous one.
#pragma once

#include <string>
#include <vector>

namespace qv {

class TFileSetReplacement {
 public:
  explicit TFileSetReplacement(std::vector<std::string> targets);
  // Deletes the temporaries unless the set was committed.
  ~TFileSetReplacement();
  TFileSetReplacement(const TFileSetReplacement&) = delete;
  TFileSetReplacement& operator=(const TFileSetReplacement&) = delete;

  // The name to write target i under.
  const std::string& TemporaryName(std::size_t i) const { return temporaries_[i]; }
  // Call only when every temporary file is complete and closed.
  bool Commit();
  void Discard();

 private:
  bool MoveOldAside(std::vector<bool>& movedAside);
  void Restore(const std::vector<bool>& movedAside, const std::vector<bool>& placed);

  std::vector<std::string> targets_;
  std::vector<std::string> temporaries_;
  std::vector<std::string> previous_;
  bool committed_ = false;
};

}  // namespace qv
