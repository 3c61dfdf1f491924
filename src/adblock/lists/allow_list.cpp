#include "adblock/lists/allow_list.h"

namespace nv {

AllowList::AllowList(const std::vector<std::string>& entries) {
  NameSetBuilder builder;
  for (std::string_view entry : entries) {
    while (!entry.empty() && (entry.front() == ' ' || entry.front() == '*' || entry.front() == '.'))
      entry.remove_prefix(1);
    while (!entry.empty() && (entry.back() == ' ' || entry.back() == '.')) entry.remove_suffix(1);
    builder.Add(entry);
  }
  names_ = builder.Build();
}

bool AllowList::Allows(std::string_view name) const {
  for (;;) {
    if (names_.Contains(name)) return true;
    const size_t dot = name.find('.');
    if (dot == std::string_view::npos) return false;
    name.remove_prefix(dot + 1);
  }
}

}  // namespace nv
