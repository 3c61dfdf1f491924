#pragma once
#include <string>
#include <string_view>

namespace nv {

// Host names, INI keys and the like compare in ASCII case, whatever the locale.
inline std::string LowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

}  // namespace nv
