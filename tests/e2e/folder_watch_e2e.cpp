// Folder change watches against the file system under Wine (or Windows): what
// each question reports, a folder that is missing at first, and a watch
// destroyed while its request is pending.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "harness/harness.h"
#include "platform/win32/win32_change_watch.h"
#include "platform/win32/win32_folder_watch.h"

using namespace e2e;

namespace {

// A change reaches a waiting request when this thread next waits (under
// Wine the request's end is an APC), so "seen" polls with short sleeps.
bool Seen(const std::function<bool()>& changed) { return WaitUntil(changed, 5000, 10); }
// Quiet means still false after a change had time to arrive. One write
// makes several events (create, size, time), which may end two requests in
// a row, so a caller that wants quiet after a change drains it first.
bool Quiet(const std::function<bool()>& changed) {
  Sleep(200);
  return !changed();
}
bool Drained(const std::function<bool()>& changed) {
  for (int i = 0; i < 10; ++i)
    if (Quiet(changed)) return true;
  return false;
}

class FolderWatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = "C:\\nvtest\\watch-" + std::to_string(GetCurrentProcessId()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name();
    CreateDirectoryA("C:\\nvtest", nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
  }
  void TearDown() override {
    watch.reset();
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) RemoveFile(folder + "\\" + name);
    RemoveDirectoryA(folder.c_str());
  }
  std::string folder;
  std::unique_ptr<nv::Win32FolderWatch> watch = std::make_unique<nv::Win32FolderWatch>();
};

TEST_F(FolderWatchTest, NamesAndFilesEachReportTheirOwnKindOfChange) {
  auto names = [&] { return watch->NamesChanged(folder); };
  auto files = [&] { return watch->FilesChanged(folder); };
  EXPECT_TRUE(names());  // the first call for a folder
  EXPECT_TRUE(files());
  EXPECT_TRUE(Quiet(names));
  EXPECT_TRUE(Quiet(files));

  WriteFile(folder + "\\a.txt", "one");
  EXPECT_TRUE(Seen(names));
  EXPECT_TRUE(Seen(files));  // the other question keeps the change for itself
  EXPECT_TRUE(Drained(names));
  EXPECT_TRUE(Drained(files));

  WriteFile(folder + "\\a.txt", "two");  // same size, same name
  EXPECT_TRUE(Seen(files));
  EXPECT_TRUE(Quiet(names));

  ASSERT_TRUE(MoveFileA((folder + "\\a.txt").c_str(), (folder + "\\b.txt").c_str()));
  EXPECT_TRUE(Seen(names));
  ASSERT_TRUE(DeleteFileA((folder + "\\b.txt").c_str()));
  EXPECT_TRUE(Seen(names));
  EXPECT_TRUE(Drained(names));
}

TEST_F(FolderWatchTest, AMissingFolderIsAChangeOnEveryCallUntilItCanBeWatched) {
  const std::string later = folder + "\\later";
  EXPECT_TRUE(watch->NamesChanged(later));
  EXPECT_TRUE(watch->NamesChanged(later));
  ASSERT_TRUE(CreateDirectoryA(later.c_str(), nullptr));
  EXPECT_TRUE(watch->NamesChanged(later));  // opened now: this one arms it
  EXPECT_TRUE(Quiet([&] { return watch->NamesChanged(later); }));
  WriteFile(later + "\\c.txt", "x");
  EXPECT_TRUE(Seen([&] { return watch->NamesChanged(later); }));
  RemoveFile(later + "\\c.txt");
  watch.reset();
  EXPECT_TRUE(RemoveDirectoryA(later.c_str())) << GetLastError();
}

// The pending request is cancelled and waited for: a change after the watch
// is gone writes into nothing, and the folder's handle is closed.
TEST_F(FolderWatchTest, AWatchDestroyedWhilePendingLeavesNothingBehind) {
  for (int i = 0; i < 50; ++i) {
    auto one = std::make_unique<nv::Win32ChangeWatch>(folder, FILE_NOTIFY_CHANGE_FILE_NAME);
    EXPECT_TRUE(one->Changed());
    one.reset();
    WriteFile(folder + "\\a.txt", std::to_string(i));
    RemoveFile(folder + "\\a.txt");
    SleepEx(1, TRUE);
  }
  EXPECT_TRUE(watch->NamesChanged(folder));
  watch.reset();
  EXPECT_TRUE(RemoveDirectoryA(folder.c_str())) << GetLastError();
  CreateDirectoryA(folder.c_str(), nullptr);
}

}  // namespace
