// TIdList: the ordered list of one kind of mesh object (the mesh's Vertices, Edges, Faces and
// Polygons), holding ids into the object's pool.
//
// Every object is appended to its list when it is made, and pools never reuse a position, so a
// list is always in increasing id order: finding an object's index is a binary search.
// Until the first removal the list is exactly 1 .. n and costs nothing; the first removal turns
// it into an explicit array. Removals go through a gap buffer, so a sweep of removals from the
// last index towards the first (the driver's final polygon filter) costs linear time in all,
// not a shift of the tail per removal.
//
// An index outside 0 .. Count - 1 raises EtdArrayException naming the list's owner and operation.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "geometry/IndexError.h"

namespace qv {

template <class Id>
class TIdList {
 public:
  int Count() const { return static_cast<int>(Size()); }

  // The id at index; out of bounds raises EtdArrayException naming `where` ("Class.Operation").
  Id At(int index, std::string_view where = "TIdList.At") const {
    if (index < 0 || index >= Count()) RaiseIndexError(where, index);
    return Get(static_cast<std::size_t>(index));
  }

  // Appends an id larger than every id in the list.
  void Append(Id id) {
    if (implicit_) {
      if (id.Index == implicitCount_ + 1) {
        ++implicitCount_;
        return;
      }
      Materialize();
    }
    MoveGapTo(Size());
    if (gapBegin_ < gapEnd_) {
      buf_[gapBegin_++] = id;
    } else {
      buf_.push_back(id);
      gapBegin_ = gapEnd_ = buf_.size();
    }
  }

  void RemoveAt(int index, std::string_view where = "TIdList.RemoveAt") {
    At(index, where);  // bounds check
    Materialize();
    MoveGapTo(static_cast<std::size_t>(index));
    ++gapEnd_;
  }

  // Index of id, or -1.
  int IndexOf(Id id) const {
    std::size_t lo = 0;
    std::size_t hi = Size();
    while (lo < hi) {
      const std::size_t mid = lo + (hi - lo) / 2;
      if (Get(mid).Index < id.Index) {
        lo = mid + 1;
      } else {
        hi = mid;
      }
    }
    return lo < Size() && Get(lo) == id ? static_cast<int>(lo) : -1;
  }

  // Removes every id for which doomed(id) holds; returns how many went.
  template <class Pred>
  int RemoveIf(Pred doomed) {
    std::vector<Id> kept;
    const std::size_t n = Size();
    for (std::size_t i = 0; i < n; ++i) {
      if (!doomed(Get(i))) kept.push_back(Get(i));
    }
    const int removed = static_cast<int>(n - kept.size());
    if (removed == 0) return 0;
    kept.shrink_to_fit();
    buf_.swap(kept);
    implicit_ = false;
    gapBegin_ = gapEnd_ = buf_.size();
    return removed;
  }

  std::size_t CapacityBytes() const { return buf_.capacity() * sizeof(Id); }

 private:
  std::size_t Size() const {
    return implicit_ ? implicitCount_ : buf_.size() - (gapEnd_ - gapBegin_);
  }
  Id Get(std::size_t i) const {
    if (implicit_) return Id(static_cast<std::uint32_t>(i + 1));
    return buf_[i < gapBegin_ ? i : i + (gapEnd_ - gapBegin_)];
  }

  void Materialize() {
    if (!implicit_) return;
    buf_.resize(implicitCount_);
    for (std::uint32_t i = 0; i < implicitCount_; ++i) buf_[i] = Id(i + 1);
    gapBegin_ = gapEnd_ = buf_.size();
    implicit_ = false;
  }

  // Moves the gap so that it starts at logical position pos.
  void MoveGapTo(std::size_t pos) {
    if (pos < gapBegin_) {
      const std::size_t n = gapBegin_ - pos;
      std::move_backward(buf_.begin() + Off(pos), buf_.begin() + Off(gapBegin_),
                         buf_.begin() + Off(gapEnd_));
      gapBegin_ -= n;
      gapEnd_ -= n;
    } else if (pos > gapBegin_) {
      const std::size_t n = pos - gapBegin_;
      std::move(buf_.begin() + Off(gapEnd_), buf_.begin() + Off(gapEnd_ + n),
                buf_.begin() + Off(gapBegin_));
      gapBegin_ += n;
      gapEnd_ += n;
    }
  }
  static std::ptrdiff_t Off(std::size_t i) { return static_cast<std::ptrdiff_t>(i); }

  bool implicit_ = true;
  std::uint32_t implicitCount_ = 0;
  std::vector<Id> buf_;
  std::size_t gapBegin_ = 0;  // the gap is buf_[gapBegin_, gapEnd_)
  std::size_t gapEnd_ = 0;
};

}  // namespace qv
