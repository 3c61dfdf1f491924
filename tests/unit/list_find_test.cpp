// Type-to-find in the settings dialog's lists: the rows a typed prefix
// reaches from the focused row on, wrapping to the top.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/list_find.h"

namespace nv {
namespace {

TEST(ListFind, PrefixFromTheStartRowOnWrapsAndIgnoresCase) {
  const std::vector<std::string> rows{"ads.example", "Banner.example", "bar.example", "cdn.example", "ADX.example"};
  auto row = [&](int i) -> const std::string& { return rows[static_cast<size_t>(i)]; };
  const int n = static_cast<int>(rows.size());
  struct Case {
    const char* typed;
    int start;
    bool prefix, wrap;
    int want;
  } cases[] = {
      {"b", 0, true, true, 1},     {"B", 2, true, true, 2},      {"a", 1, true, true, 4},
      {"ads", 1, true, true, 0},   {"ads", 1, true, false, -1},  {"ban", 3, true, true, 1},
      {"bar.EXAMPLE", 0, false, true, 2}, {"bar", 0, false, true, -1}, {"z", 0, true, true, -1},
      {"", 0, true, true, -1},     {"a", 99, true, false, 0},    {"banner.example.org", 0, true, true, -1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FindRow(n, row, c.typed, c.start, c.prefix, c.wrap), c.want) << c.typed << " from " << c.start;
  EXPECT_EQ(FindRow(0, row, "a", 0, true, true), -1);
}

}  // namespace
}  // namespace nv
