#include "ui/property_bag.h"

#include <algorithm>
#include <cctype>

namespace nv {

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::optional<PropValue> MemoryPropertyBag::Read(const std::string& name) {
  for (const auto& [key, value] : entries_) {
    if (SameName(key, name)) return value;
  }
  return std::nullopt;
}

bool MemoryPropertyBag::Has(const std::string& name) const {
  return std::any_of(entries_.begin(), entries_.end(), [&](const auto& e) { return SameName(e.first, name); });
}

void MemoryPropertyBag::Write(const std::string& name, const PropValue& value) {
  for (auto& [key, old] : entries_) {
    if (SameName(key, name)) {
      old = value;
      return;
    }
  }
  entries_.emplace_back(name, value);
}

}  // namespace nv
