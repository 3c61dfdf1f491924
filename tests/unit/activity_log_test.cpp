#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "store/activity_log.h"
#include "store/store.h"

namespace nv {
namespace {

constexpr char kLog[] = "C:\\N\\ads.log";
std::string Entry(const std::string& text) { return text + "\r\n\r\n\r\n"; }

struct ActivityLogTest : ::testing::Test {
  test::FakePlatform fp;
  Store store{fp.files, "C:\\N"};
  ActivityLog log{store, fp.platform, kLog};
};

TEST_F(ActivityLogTest, StaysOpenWhileBusyAndClosesAfterASecondWithoutEntries) {
  for (int i = 0; i < 50; ++i) {
    log.Write(" /a" + std::to_string(i) + ".gif send on now");
    fp.timers.Advance(100);  // ten entries a second for five seconds
  }
  EXPECT_EQ(fp.files.opens, 1);
  EXPECT_LE(fp.timers.started.size(), 6u);  // a timer a second, not one an entry
  EXPECT_TRUE(log.IsOpen());
  EXPECT_EQ(fp.files.Get(kLog).rfind("\r\n\r\n" + Entry("/a0.gif send on now") + "/a1.gif", 0), 0u);
  fp.timers.Advance(2 * ActivityLog::kIdleCloseMs);
  EXPECT_FALSE(log.IsOpen());
  log.Write("/again.gif");
  EXPECT_EQ(fp.files.opens, 2);
  EXPECT_EQ(fp.files.Get(kLog).substr(fp.files.Get(kLog).size() - 16), Entry("/again.gif"));
}

TEST_F(ActivityLogTest, ADeletedOrReplacedLogLosesOnlyItsOwnLinesAndANewFileTakesTheNext) {
  log.Write("/before.gif");
  ASSERT_TRUE(fp.files.Remove(kLog));
  log.Write("/after.gif");
  EXPECT_EQ(fp.files.Get(kLog), "\r\n\r\n" + Entry("/after.gif"));
  fp.files.WriteAtomic(kLog, "the user's own text\r\n");  // replaced under the open file
  log.Write("/third.gif");
  EXPECT_EQ(fp.files.Get(kLog), "the user's own text\r\n" + Entry("/third.gif"));
  EXPECT_EQ(fp.files.lostWrites, "");  // nothing went to a file no longer named
}

TEST_F(ActivityLogTest, AReadOnlyLogIsReportedAndALogThatCannotBeCreatedThrows) {
  fp.files.Put(kLog, "old\r\n", kAttrReadOnly);
  EXPECT_NO_THROW(log.Write("/x.gif"));
  EXPECT_EQ(fp.files.Get(kLog), "old\r\n");
  EXPECT_NE(fp.files.Get("C:\\N\\err.log").find("75:Path/File access error:Norvane"), std::string::npos);
  fp.files.Remove(kLog);
  fp.files.failWrites.insert(test::FakeFiles::Key(kLog));
  EXPECT_THROW(log.Write("/y.gif"), AppError);
}

}  // namespace
}  // namespace nv
