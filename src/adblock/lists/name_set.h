#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "adblock/lists/head_sort.h"

namespace nv {

// A large set of host names (a published block list holds up to a few
// hundred thousand), lower case, sorted and without repeats. The names sit
// one after another in one buffer with an offset each, so 500,000 names cost
// their bytes plus four bytes apiece instead of a string object each, and a
// walk in order reads memory in order. Copies share the buffer, which never
// changes.
class NameSet {
 public:
  NameSet() = default;
  size_t Size() const { return starts_.empty() ? 0 : starts_.size() - 1; }
  bool Empty() const { return Size() == 0; }
  std::string_view At(size_t i) const { return {bytes_.get() + starts_[i], starts_[i + 1] - starts_[i]}; }
  // name must already be in lower case, as the set holds it.
  bool Contains(std::string_view name) const;
  // Bytes held, for the memory budget.
  size_t Footprint() const { return capacity_ + starts_.capacity() * sizeof(std::uint32_t); }

  // Every name of either set, once.
  static NameSet Union(const std::vector<const NameSet*>& sets);

 private:
  friend class NameSetBuilder;
  std::shared_ptr<const char[]> bytes_;
  size_t capacity_ = 0;
  std::vector<std::uint32_t> starts_;  // Size()+1 offsets into bytes_
};

// Collects names in any order and case, then sorts them into a NameSet.
class NameSetBuilder {
 public:
  // Lower-cases name (ASCII: host names are ASCII) and keeps it.
  void Add(std::string_view name);
  // For a reader that lowers and checks a name in one pass: room for a name
  // of up to n (at most 255) bytes at the end; Keep takes the first n written
  // there as a name, and anything not kept is overwritten by the next name.
  char* Room(size_t n);
  void Keep(size_t n);
  // For a reader whose bytes outlive Build (and are under 4 GB): names there
  // already in lower case are kept where they lie, not copied, until Build
  // copies them once, in order.
  void Borrow(std::string_view source);
  // name: n (at most 255) bytes of the source, lower case.
  void KeepBorrowed(const char* name, size_t n);
  size_t Count() const { return names_.size(); }
  // Room for about this many names.
  void Reserve(size_t names);
  NameSet Build();

  // own: 1 where a name is in bytes_, 0 where it is in the source.
  using Name = HeadedName;

 private:
  struct Free {
    void operator()(const char* p) const { std::free(const_cast<char*>(p)); }
  };
  using Buffer = std::unique_ptr<char, Free>;
  void Resize(size_t capacity);
  void Push(const char* name, std::uint32_t start, size_t n, bool own);

  Buffer bytes_;  // used_ bytes of names, then room
  size_t used_ = 0;
  size_t capacity_ = 0;
  const char* source_ = nullptr;
  size_t total_ = 0;  // bytes of all names kept
  std::vector<Name> names_;
  HeadCounts counts_{};  // of names_' heads, counted as they come
};

}  // namespace nv
