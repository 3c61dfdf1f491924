// Which control of the settings dialog an access key reaches.
#include <gtest/gtest.h>

#include "settings/access_keys.h"

namespace nv {
namespace {

TEST(AccessKeys, AUniqueKeyPressesASharedOneOnlyMovesTheFocusInTurn) {
  // The "&Cookies" tab, "&Add", "&Remove", "&OK", "&Cancel", "&Apply", a box without a key.
  const std::vector<KeyedControl> controls = {{'c', true}, {'a', true}, {'r', true}, {'o', true},
                                              {'c', true}, {'a', true}, {0, true}};
  struct Case {
    int focused;
    char key;
    int index;
    bool press;
  } cases[] = {{6, 'r', 2, true}, {-1, 'o', 3, true},  {6, 'c', 0, false}, {0, 'c', 4, false},
               {4, 'c', 0, false}, {2, 'a', 5, false}, {5, 'a', 1, false}, {0, 'x', -1, false}};
  for (const Case& c : cases) {
    const AccessKeyTarget t = ResolveAccessKey(controls, c.focused, c.key);
    EXPECT_EQ(t.index, c.index) << c.key << " from " << c.focused;
    EXPECT_EQ(t.press, c.press) << c.key << " from " << c.focused;
  }
}

TEST(AccessKeys, HiddenOrDisabledControlsDoNotCount) {
  // "&Add" disabled: "&Apply" is the only one left and is pressed.
  const std::vector<KeyedControl> controls = {{'a', false}, {'r', true}, {'a', true}};
  const AccessKeyTarget t = ResolveAccessKey(controls, 1, 'a');
  EXPECT_EQ(t.index, 2);
  EXPECT_TRUE(t.press);
}

}  // namespace
}  // namespace nv
