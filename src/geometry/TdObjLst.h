// TtdObjectList: a typed list of objects that usually owns its items, and the exceptions that
// report its misuse.
//
// The list is a template over the item type T. Where a list is meant for one class below T
// (a list of T items that must all be some descendant D), the item class is a runtime check
// built with TItemClass<T>::Of<D>(), because the type system cannot rule out an item of another
// descendant of T. Misuse raises EtdArrayException with the message texts of the TDObjLst unit:
// unit name, class name, operation, the list's name and, where the text has one, the index.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace qv {

class EtdException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class EtdArrayException : public EtdException {
 public:
  using EtdException::EtdException;
};

enum class TtdArrayError { NilItem, InvalidClass, IndexOutOfBounds };

// Builds the message of a list misuse, e.g. "Index is out of bounds ([TDObjLst]
// TtdObjectList.olGetItem Objname: -unnamed- index: 5)".
std::string ArrayErrorText(TtdArrayError error, std::string_view className,
                             std::string_view operation, std::string_view objName,
                             std::int64_t index);

[[noreturn]] void RaiseArrayError(TtdArrayError error, std::string_view className,
                                  std::string_view operation, std::string_view objName,
                                  std::int64_t index);

inline constexpr std::string_view kUnnamedList = "-unnamed-";
inline constexpr std::size_t kMaxListNameLength = 31;

// The class every item of a container must be, as a test on the item's dynamic type.
template <class T>
struct TItemClass {
  bool (*Accepts)(const T&) = nullptr;  // nullptr: every T is accepted

  template <class D>
  static TItemClass Of() {
    static_assert(std::is_base_of_v<T, D>, "the item class must descend from the list's type");
    if constexpr (std::is_same_v<T, D>) {
      return {};
    } else {
      return {[](const T& item) { return dynamic_cast<const D*>(&item) != nullptr; }};
    }
  }
  bool Admits(const T& item) const { return Accepts == nullptr || Accepts(item); }
};

template <class T>
class TtdObjectList {
 public:
  explicit TtdObjectList(bool ownsObjects = true, TItemClass<T> itemClass = {})
      : owns_(ownsObjects), itemClass_(itemClass) {}
  virtual ~TtdObjectList() { Clear(); }
  TtdObjectList(const TtdObjectList&) = delete;
  TtdObjectList& operator=(const TtdObjectList&) = delete;

  // The name in error messages; only the first 31 characters are kept.
  virtual std::string_view ClassName() const { return "TtdObjectList"; }
  std::string_view Name() const { return name_; }
  void SetName(std::string_view name) { name_ = std::string(name.substr(0, kMaxListNameLength)); }
  bool OwnsObjects() const { return owns_; }

  // An owning list takes the item over; the list then frees it on Delete, Remove and Clear.
  int Add(std::unique_ptr<T> item) {
    if (!owns_) throw std::logic_error("TtdObjectList: a list that does not own its items "
                                       "takes references, not ownership");
    const int index = Append(item.get());
    item.release();
    return index;
  }
  // A list that does not own its items keeps a reference; the caller keeps the object alive.
  int Add(T* item) {
    if (owns_) throw std::logic_error("TtdObjectList: an owning list takes ownership of its items");
    return Append(item);
  }

  int Count() const { return static_cast<int>(items_.size()); }
  T& Items(int index) const { return *items_[CheckedIndex(index, "olGetItem")]; }
  T& operator[](int index) const { return Items(index); }

  void Delete(int index) {
    const auto at = CheckedIndex(index, "Delete");
    T* item = items_[at];
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(at));
    Free(item);
  }

  // The item's former index, or -1 when it is not in the list (then nothing is freed).
  int Remove(const T* item) {
    for (std::size_t i = 0; i < items_.size(); ++i) {
      if (items_[i] == item) {
        Delete(static_cast<int>(i));
        return static_cast<int>(i);
      }
    }
    return -1;
  }

  void Clear() {
    std::vector<T*> items;
    items.swap(items_);
    for (T* item : items) Free(item);
  }

 protected:
  [[noreturn]] void Raise(TtdArrayError error, std::string_view operation,
                          std::int64_t index) const {
    RaiseArrayError(error, ClassName(), operation, name_, index);
  }

 private:
  int Append(T* item) {
    if (item == nullptr) Raise(TtdArrayError::NilItem, "Add", 0);
    if (!itemClass_.Admits(*item)) Raise(TtdArrayError::InvalidClass, "Add", Count());
    items_.push_back(item);
    return Count() - 1;
  }
  std::size_t CheckedIndex(int index, std::string_view operation) const {
    if (index < 0 || index >= Count()) Raise(TtdArrayError::IndexOutOfBounds, operation, index);
    return static_cast<std::size_t>(index);
  }
  void Free(T* item) const {
    if (owns_) std::default_delete<T>{}(item);
  }

  bool owns_;
  TItemClass<T> itemClass_;
  std::string name_{kUnnamedList};
  std::vector<T*> items_;
};

}  // namespace qv
