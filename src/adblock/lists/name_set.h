#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nv {

// A large set of host names (a published block list holds up to a few
// hundred thousand), lower case, sorted and without repeats. The names sit
// one after another in one buffer with an offset each, so 500,000 names cost
// their bytes plus four bytes apiece instead of a string object each.
class NameSet {
 public:
  NameSet() = default;
  size_t Size() const { return starts_.empty() ? 0 : starts_.size() - 1; }
  bool Empty() const { return Size() == 0; }
  std::string_view At(size_t i) const {
    return std::string_view(bytes_).substr(starts_[i], starts_[i + 1] - starts_[i]);
  }
  // name must already be in lower case, as the set holds it.
  bool Contains(std::string_view name) const;
  // Bytes held, for the memory budget.
  size_t Footprint() const { return bytes_.capacity() + starts_.capacity() * sizeof(std::uint32_t); }

  // Every name of either set, once.
  static NameSet Union(const std::vector<const NameSet*>& sets);

 private:
  friend class NameSetBuilder;
  std::string bytes_;
  std::vector<std::uint32_t> starts_;  // Size()+1 offsets into bytes_
};

// Collects names in any order and case, then sorts them into a NameSet.
class NameSetBuilder {
 public:
  // Lower-cases name (ASCII: host names are ASCII) and keeps it.
  void Add(std::string_view name);
  size_t Count() const { return starts_.size(); }
  // Room for about this many names of this many bytes in all.
  void Reserve(size_t names, size_t bytes);
  NameSet Build();

 private:
  std::string bytes_;
  std::vector<std::uint32_t> starts_;
  std::vector<std::uint8_t> sizes_;  // a host name is at most 253 bytes
};

}  // namespace nv
