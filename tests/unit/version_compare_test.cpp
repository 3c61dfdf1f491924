// The version test of live update: numbers compared as numbers, and what
// counts as no answer.
#include <gtest/gtest.h>

#include "product/version.h"
#include "update/version_compare.h"

namespace nv {
namespace {

using A = VersionAnswer;

TEST(VersionTest, ComparesTheDottedNumbersAsNumbers) {
  struct Case {
    const char* server;
    const char* local;
    A want;
  } cases[] = {
      {"2.0.1", "2.0.1", A::kNotNewer},
      {"2.0.10", "2.0.9", A::kNewer},
      {"2.0.9", "2.0.10", A::kNotNewer},
      {"3.0.0", "2.0.1", A::kNewer},
      {"1.9.99", "2.0.1", A::kNotNewer},
      {"2.1", "2.0.1", A::kNewer},
      {"2.0.1.0", "2.0.1", A::kNotNewer},
      {"2.0.1.1", "2.0.1", A::kNewer},
      {"02.00.01", "2.0.1", A::kNotNewer},
      {"99999999999999999999999.0.0", "2.0.1", A::kNewer},
  };
  for (const Case& c : cases) EXPECT_EQ(TestVersion(c.server, c.local).answer, c.want) << c.server << " vs " << c.local;
}

// A server file saved with a line end must not prompt every user every minute.
TEST(VersionTest, SpacesLineEndsAndAByteOrderMarkAroundTheVersionDoNotCount) {
  for (const char* server : {"2.0.1\r\n", "2.0.1\n", " 2.0.1 ", "\t2.0.1\r\n\r\n", "\xEF\xBB\xBF" "2.0.1\r\n"}) {
    const VersionCheck check = TestVersion(server, "2.0.1");
    EXPECT_EQ(check.answer, A::kNotNewer) << server;
    EXPECT_EQ(check.text, "2.0.1");
  }
  EXPECT_EQ(TestVersion("3.0.0\r\n", "2.0.1").answer, A::kNewer);
}

TEST(VersionTest, EmptyTextAndTextThatIsNotAVersionAreNoAnswer) {
  for (const char* empty : {"", "\r\n", "   \n"}) EXPECT_EQ(TestVersion(empty, "2.0.1").answer, A::kEmpty);
  for (const char* garbage : {"<html><body>Not Found</body></html>", "v3.0.0", "3.0.0 beta", "3..0", ".3", "3.",
                              "3.0.0\r\n4.0.0", "3,0,0", "\x01"})
    EXPECT_EQ(TestVersion(garbage, "2.0.1").answer, A::kGarbage) << garbage;
}

// The running version is the one the server's text is held against: the
// same numbers are no update, each number one higher is one.
TEST(VersionTest, TheRunningVersionIsTheReleasesNumbersInOrder) {
  const int numbers[] = {NV_VERSION_MAJOR, NV_VERSION_MINOR, NV_VERSION_REVISION};
  auto text = [&](int bumped) {
    std::string t;
    for (int i = 0; i < 3; ++i) t += (i ? "." : "") + std::to_string(numbers[i] + (i == bumped));
    return t;
  };
  EXPECT_EQ(TestVersion(text(-1)).answer, A::kNotNewer);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(TestVersion(text(i)).answer, A::kNewer) << text(i);
  EXPECT_EQ(TestVersion(std::to_string(NV_VERSION_MAJOR - 1) + ".99.99").answer, A::kNotNewer);
}

}  // namespace
}  // namespace nv
