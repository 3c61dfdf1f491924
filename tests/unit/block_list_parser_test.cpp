// Reading published block lists into a set of names.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "adblock/lists/list_parser.h"

namespace nv {
namespace {

std::vector<std::string> Names(const NameSet& set) {
  std::vector<std::string> out;
  for (size_t i = 0; i < set.Size(); ++i) out.emplace_back(set.At(i));
  return out;
}

std::vector<std::string> Parse(std::string_view bytes, const std::vector<std::string>& skip = {}) {
  return Names(ParseBlockList(bytes, skip).names);
}

TEST(BlockListParser, HostsFormWithEveryBlockAddressCommentsTabsAndSeveralNames) {
  const char list[] =
      "# Title: a list\r\n"
      "127.0.0.1 localhost\r\n"
      "::1 localhost ip6-localhost ip6-loopback\r\n"
      "0.0.0.0 0.0.0.0\r\n"
      "0.0.0.0\tAds.Example.com   # the ad server\r\n"
      "127.0.0.1  track.example.net\tpixel.example.net\n"
      "::1 v6.example.org\r"
      ":: nine.example.org\n"
      "\t0.0.0.0 indented.example\n"
      "10.0.0.1 intranet.example\n"    // a redirect elsewhere is no block
      "192.168.1.1 router.example\n"
      "#0.0.0.0 commented.example\n";
  EXPECT_EQ(Parse(list), (std::vector<std::string>{"ads.example.com", "indented.example", "nine.example.org",
                                                   "pixel.example.net", "track.example.net", "v6.example.org"}));
}

TEST(BlockListParser, PlainAndAdblockFormsTakeOnlyWholeNameRules) {
  const char list[] =
      "[Adblock Plus 2.0]\n"
      "! Title: plain domains\n"
      "||ads.example^\n"
      "||cdn.example.com^$third-party\n"  // options: blocks less than the name
      "||example.org/banner^\n"
      "@@||allowed.example^\n"
      "##.banner\n"
      "plain.example\n"
      "plain2.example. \n"
      "two words.example\n";
  EXPECT_EQ(Parse(list), (std::vector<std::string>{"ads.example", "plain.example", "plain2.example"}));
}

TEST(BlockListParser, NamesThatAreNoHostNamesOrThisMachinesAreSkipped) {
  const std::string list =
      "0.0.0.0 single\n"
      "0.0.0.0 bad..example\n"
      "0.0.0.0 -dash.example\n"
      "0.0.0.0 dash-.example\n"
      "0.0.0.0 under_score.example\n"
      "0.0.0.0 1.2.3.4\n"
      "0.0.0.0 sp%ce.example\n"
      "0.0.0.0 foo.localhost\n"
      "0.0.0.0 localhost.localdomain printer.localdomain ip6-allnodes.example\n"
      "0.0.0.0 broadcasthost\n"
      "0.0.0.0 MyPc.Home.Lan\n"
      "0.0.0.0 " + std::string(64, 'a') + ".example\n" +
      "0.0.0.0 " + std::string(63, 'b') + ".example\n";
  EXPECT_EQ(Parse(list, {"mypc.home.lan"}),
            (std::vector<std::string>{std::string(63, 'b') + ".example", "under_score.example"}));
  EXPECT_FALSE(IsBlockableName(std::string(250, 'a') + ".com"));
}

TEST(BlockListParser, NamesAreComparedWithoutCaseSortedAndKeptOnce) {
  const ParsedList parsed = ParseBlockList("0.0.0.0 B.example a.example\nb.EXAMPLE\n||A.Example^\n");
  EXPECT_EQ(Names(parsed.names), (std::vector<std::string>{"a.example", "b.example"}));
  EXPECT_EQ(parsed.lines, 3u);
  EXPECT_TRUE(parsed.names.Contains("a.example"));
  EXPECT_FALSE(parsed.names.Contains("c.example"));
}

TEST(BlockListParser, TheLastLineNeedsNoLineEndAndACommentMayCutAName) {
  EXPECT_EQ(Parse("0.0.0.0 a.example\r\n0.0.0.0 b.example#c.example\r\n0.0.0.0 last.example"),
            (std::vector<std::string>{"a.example", "b.example", "last.example"}));
  EXPECT_EQ(Parse("lone.example"), std::vector<std::string>{"lone.example"});
}

// A hosts line's names are read while they are checked: a bad byte or an
// overlong name spoils only its own field.
TEST(BlockListParser, AHostsLinesBadFieldSpoilsOnlyItself) {
  const std::string longest = std::string(63, 'a') + "." + std::string(63, 'b') + "." + std::string(63, 'c') + "." +
                              std::string(61, 'd');  // 253 bytes
  const std::string list = "0.0.0.0 bad/name.example good.example\n"
                           "0.0.0.0 " + std::string(300, 'x') + ".example after.example\n"
                           "0.0.0.0 " + longest + ". " + longest + "e.example\n"
                           "0.0.0.0 Dot.Example.\tdot2.example..\n"
                           "0.0.0.0 ex_ample.com.\n";
  EXPECT_EQ(Parse(list), (std::vector<std::string>{longest, "after.example", "dot.example", "ex_ample.com",
                                                   "good.example"}));
  EXPECT_TRUE(IsBlockableName(longest));
  EXPECT_FALSE(IsBlockableName("trailing.example."));  // only a list's reader drops the dot
}

// Names in lower case are taken from the list's own bytes and the rest
// lowered aside: the set mixes both in order and outlives those bytes.
TEST(BlockListParser, NamesOutliveTheListsBytesWhateverTheirCase) {
  std::string list;
  for (int i = 0; i < 300; ++i)
    list += "0.0.0.0 " + std::string(i < 150 && i % 2 ? "HOST" : "host") + std::to_string(i % 150) + ".example\n||ads" +
            std::to_string(i) + ".Example^\n";
  NameSet names = ParseBlockList(list).names;
  list.assign(list.size(), 'x');
  ASSERT_EQ(names.Size(), 450u);
  EXPECT_EQ(names.At(0), "ads0.example");
  EXPECT_TRUE(names.Contains("host0.example"));
  EXPECT_TRUE(names.Contains("host149.example"));
  for (size_t i = 1; i < names.Size(); ++i) ASSERT_LT(names.At(i - 1), names.At(i));
}

TEST(BlockListParser, WebPagesAreToldApartFromLists) {
  EXPECT_TRUE(ParseBlockList("\r\n  <!DOCTYPE html><html><body>Sign in</body></html>").looksLikeHtml);
  EXPECT_TRUE(ParseBlockList("\xEF\xBB\xBF<HTML>\n<p>moved</p>").looksLikeHtml);
  const ParsedList list = ParseBlockList("\xEF\xBB\xBF" "0.0.0.0 first.example\n# <html> in a comment\n");
  EXPECT_FALSE(list.looksLikeHtml);
  EXPECT_EQ(Names(list.names), std::vector<std::string>{"first.example"});  // the byte order mark is no name
}

TEST(NameSet, HoldsHalfAMillionNamesInLittleMemory) {
  NameSetBuilder builder;
  for (int i = 500000; i-- > 0;) builder.Add("host" + std::to_string(i) + ".ads.example.com");
  builder.Add("HOST7.ads.example.com");  // again, in another case
  const NameSet set = builder.Build();
  ASSERT_EQ(set.Size(), 500000u);
  EXPECT_LE(set.Footprint(), 40u * 1024 * 1024);
  EXPECT_TRUE(set.Contains("host7.ads.example.com"));
  EXPECT_TRUE(set.Contains("host499999.ads.example.com"));
  for (size_t i = 1; i < set.Size(); ++i) ASSERT_LT(set.At(i - 1), set.At(i));
}

// Names that share long beginnings, are shorter than eight bytes or begin
// another name come out in byte order, once each.
TEST(NameSet, SortsLikeAComparisonSort) {
  std::vector<std::string> names = {"a.b", "a.b.c", "a.bc", "ab.c", "a-b.c", "a_b.c", "0.a", "z.z", "A.B"};
  unsigned x = 7;
  for (int i = 0; i < 5000; ++i) {
    x = x * 1103515245u + 12345u;
    names.push_back("shared.prefix" + std::to_string(x % 97) + ".example" + std::string(x % 3, 'q'));
    names.push_back(std::string(1 + x % 9, static_cast<char>('a' + x % 5)) + ".x");
  }
  NameSetBuilder builder;
  for (const std::string& n : names) builder.Add(n);
  std::vector<std::string> expected;
  for (std::string n : names) {
    for (char& c : n) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    expected.push_back(n);
  }
  std::sort(expected.begin(), expected.end());
  expected.erase(std::unique(expected.begin(), expected.end()), expected.end());
  EXPECT_EQ(Names(builder.Build()), expected);

  // A dozen byte values at each place of the heads, which packs them, and
  // every value, which does not; zeros, which pad short heads; a set too
  // small to be packed.
  const std::string dozen("\0\x01-.09az\x7f\x80\xfe\xff", 12);
  for (size_t count : {30000u, 30001u, 1000u}) {
    std::vector<std::string> bytes;
    for (size_t i = 0; i < count; ++i) {
      std::string name;
      for (size_t n = 1 + i % 12; n-- > 0;) {
        x = x * 1103515245u + 12345u;
        const unsigned char byte = count % 2 ? static_cast<unsigned char>(x >> 16) : dozen[(x >> 16) % 12];
        name += static_cast<char>(std::tolower(byte));
      }
      bytes.push_back(name);
      builder.Add(name);
    }
    std::sort(bytes.begin(), bytes.end());
    bytes.erase(std::unique(bytes.begin(), bytes.end()), bytes.end());
    EXPECT_EQ(Names(builder.Build()), bytes) << count;
  }
}

// Sets of mostly repeated names, or of short ones, hold each name's bytes
// once, and copies of a set outlive it.
TEST(NameSet, RepeatsCostNoMemoryAndCopiesShareTheirNames) {
  NameSetBuilder builder;
  for (int round = 0; round < 8; ++round)
    for (int i = 0; i < 1000; ++i) builder.Add("Name" + std::to_string(i) + ".example");
  NameSet copy;
  {
    const NameSet set = builder.Build();
    ASSERT_EQ(set.Size(), 1000u);
    EXPECT_LT(set.Footprint(), 20000u);  // some 14,000 bytes once, 8 times as much in all
    copy = set;
  }
  EXPECT_EQ(copy.At(0), "name0.example");
  EXPECT_TRUE(copy.Contains("name999.example"));
  for (size_t i = 1; i < copy.Size(); ++i) ASSERT_LT(copy.At(i - 1), copy.At(i));

  // Short names leave most of the sort's room unused, which is given back.
  NameSetBuilder shortNames;
  for (int i = 0; i < 20000; ++i) shortNames.Add("a" + std::to_string(i) + ".b");  // 5 to 8 bytes
  const NameSet small = shortNames.Build();
  EXPECT_LT(small.Footprint(), 20000u * (8 + 4));
}

TEST(NameSet, UnionKeepsEachNameOnce) {
  const NameSet a = ParseBlockList("x.example\ny.example\n").names;
  const NameSet b = ParseBlockList("y.example\nz.example\n").names;
  EXPECT_EQ(Names(NameSet::Union({&a, &b})), (std::vector<std::string>{"x.example", "y.example", "z.example"}));
  EXPECT_EQ(Names(NameSet::Union({})), std::vector<std::string>{});
}

}  // namespace
}  // namespace nv
