#pragma once
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace nv {

// An in-memory list of text entries with a current selection, as the hidden
// list boxes of the program hold them. Entries keep insertion order, or
// case-insensitive alphabetical order for a sorted list (equal keys in
// insertion order). Membership goes through a hash index, and a sorted list
// sorts once when next read, so adding n entries costs O(n log n) at most.
// There is no 32,767-entry cap: modern block lists are longer, and every
// entry is kept.
class ListBox {
 public:
  explicit ListBox(bool sorted = false) : sorted_(sorted) {}

  // Adds the entry unless an identical one (exact, case-sensitive) exists;
  // then that entry becomes the selection and false is returned.
  bool AddUnique(const std::string& entry);
  // Adds without the uniqueness test.
  void Add(const std::string& entry);
  void RemoveAt(int index);
  void Clear();
  // Room for n entries, so that a large load does not rehash as it grows.
  void Reserve(size_t n) {
    items_.reserve(n);
    index_.reserve(n);
  }

  int Count() const { return static_cast<int>(items_.size()); }
  bool Empty() const { return items_.empty(); }
  const std::string& operator[](int i) const { return Items()[static_cast<size_t>(i)]; }
  const std::vector<std::string>& Items() const;
  int IndexOf(const std::string& entry) const;
  // Index of the current selection, or -1.
  int Selected() const;
  void Select(int index);
  bool Sorted() const { return sorted_; }

 private:
  void Normalize() const;
  void Reindex(size_t from) const;

  bool sorted_;
  mutable bool dirty_ = false;  // a sorted list with entries not yet in place
  mutable std::vector<std::string> items_;
  mutable std::unordered_map<std::string, size_t> index_;  // entry -> first position
  std::optional<std::string> selected_;
};

// The platform list box's order for sorted lists: case-insensitive.
bool ListOrderLess(const std::string& a, const std::string& b);

}  // namespace nv
