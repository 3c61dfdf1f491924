#pragma once
#include <string_view>

#include "store/ascii_text.h"

namespace nv {

// Type-to-find in a list: the first row from start on (then, with wrap,
// from the top up to start) whose text begins with typed (prefix) or is
// typed (whole), letters compared without regard to case; -1 when none.
// rowText(i) gives row i's text; it is asked for each row at most once.
template <class RowText>
int FindRow(int count, RowText&& rowText, std::string_view typed, int start, bool prefix, bool wrap) {
  if (count <= 0 || typed.empty()) return -1;
  if (start < 0 || start >= count) start = 0;
  auto matches = [&](std::string_view row) {
    if (row.size() < typed.size() || (!prefix && row.size() != typed.size())) return false;
    for (std::size_t i = 0; i < typed.size(); ++i)
      if (AsciiLower(row[i]) != AsciiLower(typed[i])) return false;
    return true;
  };
  for (int i = start; i < count; ++i)
    if (matches(rowText(i))) return i;
  if (wrap)
    for (int i = 0; i < start; ++i)
      if (matches(rowText(i))) return i;
  return -1;
}

}  // namespace nv
