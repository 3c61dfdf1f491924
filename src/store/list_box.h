#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nv {

class TextCompare;

// An in-memory list of text entries with a current selection, as the list
// boxes of the program hold them. Entries keep insertion order, or for a
// sorted list the case-insensitive order of a TextCompare (texts it calls
// equal keep their insertion order). There is no 32,767-entry cap: modern
// block lists are longer, and every entry is kept.
//
// Membership goes through a hash index of positions. A sorted list places
// an entry when it is next read: a few entries by binary search, a batch
// (a file being loaded) by one sort over sort keys. So loading n entries
// costs O(n log n) at most, and adding or removing one entry costs one move
// of the entries after it and one pass over the index, with no rehashing.
class ListBox {
 public:
  // Insertion order, or for sorted == true ASCII case-folded order.
  explicit ListBox(bool sorted = false);
  // Sorted in order's order; order must outlive the list.
  explicit ListBox(TextCompare& order) : order_(&order) {}

  // Adds the entry unless an identical one (exact, case-sensitive) exists;
  // then that entry becomes the selection and false is returned.
  bool AddUnique(const std::string& entry);
  // Adds without the uniqueness test.
  void Add(const std::string& entry);
  void RemoveAt(int index);
  void Clear();
  // Room for n entries, so that a large load does not rehash as it grows.
  void Reserve(size_t n);

  int Count() const { return static_cast<int>(items_.size()); }
  bool Empty() const { return items_.empty(); }
  const std::string& operator[](int i) const { return Items()[static_cast<size_t>(i)]; }
  const std::vector<std::string>& Items() const;
  int IndexOf(const std::string& entry) const;
  bool Contains(std::string_view entry) const;
  // Index of the current selection, or -1.
  int Selected() const;
  void Select(int index);
  bool Sorted() const { return order_ != nullptr; }

 private:
  void Append(const std::string& entry);
  void Normalize() const;
  void InsertTail() const;
  void SortAll() const;
  void MoveEntry(size_t from, size_t to) const;
  void Rebuild(size_t slotCount) const;
  // The slot holding the first position of entry, or the empty slot where it would go.
  size_t Find(std::string_view entry) const;
  void Index(size_t position) const;
  void Unindex(size_t slot) const;

  TextCompare* order_ = nullptr;
  mutable std::vector<std::string> items_;
  // In a sorted list, items_[0, inOrder_) are in order; later ones wait.
  mutable size_t inOrder_ = 0;
  // An entry was added twice (Add): removals then rebuild the index.
  bool repeats_ = false;
  // Open addressing: each slot holds a position in items_ plus one, or 0.
  mutable std::vector<std::uint32_t> slots_;
  std::optional<std::string> selected_;
};

}  // namespace nv
