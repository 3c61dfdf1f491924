// The name test every folder listing applies to what the system lists.
#include <gtest/gtest.h>

#include "platform/file_pattern.h"

namespace nv {
namespace {

TEST(FilePattern, OnlyNamesThatReallyEndInTheExtensionMatch) {
  for (const char* name : {"a.txt", "B.TXT", "ann@ads[1].Txt", ".txt"})
    EXPECT_TRUE(NameMatchesPattern(name, "*.txt")) << name;
  // Names whose short 8.3 form ends in .TXT, and near misses.
  for (const char* name : {"x.txt~", "a.txtold", "a.txt.bak", "txt", "a_txt", "a.tx"})
    EXPECT_FALSE(NameMatchesPattern(name, "*.txt")) << name;
  EXPECT_TRUE(NameMatchesPattern("no-dot", "*"));
  EXPECT_TRUE(NameMatchesPattern("no-dot", "*.*"));
  EXPECT_TRUE(NameMatchesPattern("exact.dat", "exact.dat"));
  EXPECT_FALSE(NameMatchesPattern("other.dat", "exact.dat"));
}

}  // namespace
}  // namespace nv
