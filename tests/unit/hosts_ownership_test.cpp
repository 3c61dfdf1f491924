// Whose a HOSTS line is, however another program re-wrote the file.
#include <gtest/gtest.h>

#include "adblock/hosts_ownership.h"

namespace nv {
namespace {

const char kRecord[] =
    "127.0.0.1 ads.example\r\n0.0.0.0 a.example b.example c.example\r\n10.1.2.3 intranet\r\n\r\n\r\n";

HostsOwnership Recorded() {
  HostsOwnership own;
  own.AddLines(kRecord);
  return own;
}

TEST(HostsOwnership, RecordedLinesAreKnownThroughPaddingLineEndsAndByteOrderMark) {
  const std::string rewritten =
      "\xEF\xBB\xBF"
      "127.0.0.1\t\tads.example  \n"
      "\t0.0.0.0 a.example \t b.example\tc.example\n"
      "10.1.2.3    intranet\r"
      "192.168.1.9 printer\n";
  const HostsLines sorted = SortByOwner(rewritten, Recorded());
  ASSERT_EQ(sorted.norvane.size(), 3u);
  EXPECT_EQ(sorted.norvane[0], "127.0.0.1\t\tads.example  ");
  EXPECT_EQ(sorted.others, std::vector<std::string>{"192.168.1.9 printer"});
}

// Only what was recorded counts: another address, another name list, a
// comment or a name in other letters is somebody else's line.
TEST(HostsOwnership, LinesThatDifferInMoreThanSpacingAreOthersKeptAsWritten) {
  const std::string hosts =
      "0.0.0.0 ads.example\r\n127.0.0.1 ADS.example\r\n0.0.0.0 a.example b.example\r\n"
      "#127.0.0.1 ads.example\r\n  10.0.0.7\tnas.lan   \r\n\t \r\n\r\n";
  const HostsLines sorted = SortByOwner(hosts, Recorded());
  EXPECT_TRUE(sorted.norvane.empty());
  EXPECT_EQ(sorted.others, (std::vector<std::string>{"0.0.0.0 ads.example", "127.0.0.1 ADS.example",
                                                     "0.0.0.0 a.example b.example", "#127.0.0.1 ads.example",
                                                     "10.0.0.7\tnas.lan"}));
}

TEST(HostsOwnership, KeysCollapseBlanksAndLinesEndAtEveryKindOfLineEnd) {
  EXPECT_EQ(OwnershipKey(" \t127.0.0.1 \t  a.example\t"), "127.0.0.1 a.example");
  EXPECT_EQ(OwnershipKey("\t \t"), "");
  EXPECT_EQ(SplitHostsLines("\xEF\xBB\xBF" "a\r\nb\rc\nd"), (std::vector<std::string_view>{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitHostsLines("a\n\nb\r\n"), (std::vector<std::string_view>{"a", "", "b"}));
  EXPECT_EQ(SplitHostsLines("x\xEF\xBB\xBF"), std::vector<std::string_view>{"x\xEF\xBB\xBF"});
}

}  // namespace
}  // namespace nv
