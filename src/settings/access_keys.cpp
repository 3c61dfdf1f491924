#include "settings/access_keys.h"

#include <cstddef>

namespace nv {

AccessKeyTarget ResolveAccessKey(const std::vector<KeyedControl>& controls, int focused, char key) {
  AccessKeyTarget target;
  if (key == 0) return target;
  const int n = static_cast<int>(controls.size());
  const int start = focused < 0 ? -1 : focused;
  int matches = 0;
  for (int step = 1; step <= n; ++step) {
    const KeyedControl& c = controls[static_cast<size_t>((start + step) % n)];
    if (c.key != key || !c.available) continue;
    if (matches++ == 0) target.index = (start + step) % n;
  }
  target.press = matches == 1;
  return target;
}

}  // namespace nv
