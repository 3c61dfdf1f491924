#pragma once
#include <vector>

namespace nv {

// A control of a dialog that may answer an access key, in tab order.
struct KeyedControl {
  char key;        // lower-case letter or digit; 0: none
  bool available;  // visible and enabled
};
struct AccessKeyTarget {
  int index = -1;      // -1: no control has the key
  bool press = false;  // press it, or only move the focus to it
};

// A key that one available control declares presses that control. A key
// that several declare (the settings dialog's "&Cookies" tab and "&Cancel",
// "&Add" and "&Apply") presses nothing: it moves the focus to the next of
// them after the focused control, so a user who meant the other one is
// never surprised by an Apply or a Cancel.
AccessKeyTarget ResolveAccessKey(const std::vector<KeyedControl>& controls, int focused, char key);

}  // namespace nv
