#include "shapefile/FileSetReplacement.h"

#include "platform/Platform.h"

namespace qv {

TFileSetReplacement::TFileSetReplacement(std::vector<std::string> targets)
    : targets_(std::move(targets)) {
  for (const std::string& t : targets_) {
    temporaries_.push_back(t + ".qvtmp");
    previous_.push_back(t + ".qvold");
  }
}

TFileSetReplacement::~TFileSetReplacement() { Discard(); }

void TFileSetReplacement::Discard() {
  if (committed_) return;
  for (const std::string& t : temporaries_) {
    if (Platform().FileExists(t)) Platform().DeleteFile(t);
  }
}

bool TFileSetReplacement::MoveOldAside(std::vector<bool>& movedAside) {
  for (std::size_t i = 0; i < targets_.size(); ++i) {
    if (!Platform().FileExists(targets_[i])) continue;
    if (!Platform().RenameFile(targets_[i], previous_[i])) return false;
    movedAside[i] = true;
  }
  return true;
}

void TFileSetReplacement::Restore(const std::vector<bool>& movedAside,
                                  const std::vector<bool>& placed) {
  for (std::size_t i = 0; i < targets_.size(); ++i) {
    if (movedAside[i])
      Platform().RenameFile(previous_[i], targets_[i]);
    else if (placed[i])
      Platform().DeleteFile(targets_[i]);
  }
}

bool TFileSetReplacement::Commit() {
  if (committed_) return true;
  std::vector<bool> movedAside(targets_.size(), false);
  std::vector<bool> placed(targets_.size(), false);
  bool ok = MoveOldAside(movedAside);
  for (std::size_t i = 0; ok && i < targets_.size(); ++i) {
    ok = Platform().RenameFile(temporaries_[i], targets_[i]);
    placed[i] = ok;
  }
  if (!ok) {
    Restore(movedAside, placed);
    Discard();
    return false;
  }
  committed_ = true;
  for (std::size_t i = 0; i < targets_.size(); ++i) {
    if (movedAside[i]) Platform().DeleteFile(previous_[i]);
  }
  return true;
}

}  // namespace qv
