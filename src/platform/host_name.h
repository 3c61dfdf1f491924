#pragma once
#include <string_view>

namespace nv {

// Whether text may go to the resolver as a host name: 1 to 255 bytes, none
// of them a space, a control character (NUL included) or DEL. A C string
// would end at a NUL and resolve some other name; the resolver judges the
// rest and fails on its own.
inline bool IsHostNameText(std::string_view name) {
  if (name.empty() || name.size() > 255) return false;
  for (unsigned char c : name)
    if (c <= ' ' || c == 0x7F) return false;
  return true;
}

}  // namespace nv
