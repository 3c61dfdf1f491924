#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "store/activity_log.h"
#include "store/list_file.h"
#include "store/store.h"

namespace nv {
namespace {

using test::FakePlatform;

struct ListFileTest : ::testing::Test {
  FakePlatform fp;
  Store store{fp.files, "C:\\N"};
  ListBox list;
  std::string ErrLog() { return fp.files.Get("C:\\N\\err.log"); }
};

TEST_F(ListFileTest, LoadTrimsDropsEmptyAndRepeatedLinesFirstWins) {
  fp.files.Put("C:\\N\\a.txt", "a\r\n  a  \r\n\r\nb\r\na\r\n");
  store.LoadListFile(list, "C:\\N\\a.txt");
  EXPECT_EQ(list.Items(), (std::vector<std::string>{"a", "b"}));
  store.SaveListFile(list, "C:\\N\\b.txt", false);
  EXPECT_EQ(fp.files.Get("C:\\N\\b.txt"), "a\r\nb\r\n\r\n\r\n");
  EXPECT_EQ(list.Count(), 2);
}

TEST_F(ListFileTest, LineEndsAreCrLfOrLoneCrButNotLoneLf) {
  fp.files.Put("C:\\N\\a.txt", "one\rtwo\nstill two\r\n\tthree");
  store.LoadListFile(list, "C:\\N\\a.txt");
  EXPECT_EQ(list.Items(), (std::vector<std::string>{"one", "two\nstill two", "\tthree"}));
}

TEST_F(ListFileTest, PrefixGoesBeforeTheRawLineThenTheWholeIsTrimmed) {
  fp.files.Put("C:\\N\\h.svr", " ads.example \r\n");
  store.LoadListFile(list, "C:\\N\\h.svr", "127.0.0.1 ");
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list[0], "127.0.0.1  ads.example");
}

TEST_F(ListFileTest, MissingFileEmptiesTheListAndLogsOneEntry) {
  list.Add("stale");
  store.LoadListFile(list, "C:\\N\\missing.svr");
  EXPECT_TRUE(list.Empty());
  // A new log starts as an empty list's file, then the entry follows.
  EXPECT_EQ(ErrLog(), "\r\n\r\n53:File not found:Norvane\r\n\r\n\r\n");
}

TEST_F(ListFileTest, EmptyListWritesFourBytesAndAppendAddsThemToo) {
  store.SaveListFile(list, "C:\\N\\e.txt", false);
  EXPECT_EQ(fp.files.Get("C:\\N\\e.txt"), "\r\n\r\n");
  store.AppendListFile(list, "C:\\N\\e.txt");
  EXPECT_EQ(fp.files.Get("C:\\N\\e.txt"), "\r\n\r\n\r\n\r\n");
}

}  // namespace
}  // namespace nv

namespace nv {
namespace {

// Inputs a user or another program may leave in a list file.
struct BadInputTest : ListFileTest {
  std::vector<std::string> Load(const std::string& bytes) {
    fp.files.Put("C:\\N\\in.svr", bytes);
    store.LoadListFile(list, "C:\\N\\in.svr");
    return list.Items();
  }
};

TEST_F(BadInputTest, NulBytesAndHighBytesAreKeptAsText) {
  const std::string nul("a\0b", 3);
  EXPECT_EQ(Load(nul + "\r\n\xE9t\xE9\r\n"), (std::vector<std::string>{nul, "\xE9t\xE9"}));
  store.SaveListFile(list, "C:\\N\\out.svr", false);
  EXPECT_EQ(fp.files.Get("C:\\N\\out.svr"), nul + "\r\n\xE9t\xE9\r\n\r\n\r\n");
}

TEST_F(BadInputTest, LoneCrEndsALineLoneLfDoesNotAndLastLineMayLackItsEnd) {
  EXPECT_EQ(Load("a\rb\nc\r\nd"), (std::vector<std::string>{"a", "b\nc", "d"}));
  EXPECT_EQ(Load("only\n"), (std::vector<std::string>{"only\n"}));
}

TEST_F(BadInputTest, EmptyFileAndBlankLinesGiveAnEmptyList) {
  EXPECT_TRUE(Load("").empty());
  EXPECT_TRUE(Load("   \r\n\r\n  ").empty());
  EXPECT_EQ(ErrLog(), "");
}

TEST_F(BadInputTest, MegabyteLineRoundTrips) {
  const std::string line(1 << 20, 'x');
  EXPECT_EQ(Load(line + "\r\nshort\r\n").size(), 2u);
  store.SaveListFile(list, "C:\\N\\out.svr", false);
  EXPECT_EQ(fp.files.Get("C:\\N\\out.svr").size(), line.size() + 2 + 7 + 4);
}

TEST_F(BadInputTest, ListFileThatIsAFolderLoadsEmptyAndIsLogged) {
  fp.files.MakeFolder("C:\\N\\folder.svr");
  list.Add("stale");
  store.LoadListFile(list, "C:\\N\\folder.svr");
  EXPECT_TRUE(list.Empty());
  EXPECT_NE(ErrLog().find("75:Path/File access error:Norvane"), std::string::npos);
}

TEST_F(BadInputTest, SavingOverAReadOnlyFileFailsAndKeepsItsContent) {
  fp.files.Put("C:\\N\\ro.svr", "keep\r\n", kAttrReadOnly);
  list.Add("new");
  EXPECT_THROW(store.SaveListFile(list, "C:\\N\\ro.svr", false), AppError);
  EXPECT_EQ(fp.files.Get("C:\\N\\ro.svr"), "keep\r\n");
}

// Without a clock to wait with, a file held open is not tried again; a
// refusal that is not about another holder is never tried again.
TEST_F(BadInputTest, OnlyAFileHeldOpenIsTriedAgainAndOnlyWithAClock) {
  fp.files.heldOpen[test::FakeFiles::Key("C:\\N\\held.svr")] = 1;
  list.Add("new");
  EXPECT_THROW(store.SaveListFile(list, "C:\\N\\held.svr", false), FileInUseError);
  EXPECT_FALSE(fp.files.Has("C:\\N\\held.svr"));

  Store patient(fp.files, "C:\\N", &fp.clock);
  fp.files.heldOpen[test::FakeFiles::Key("C:\\N\\held.svr")] = 1;
  patient.SaveListFile(list, "C:\\N\\held.svr", false);
  EXPECT_TRUE(fp.files.Has("C:\\N\\held.svr"));
  fp.files.Put("C:\\N\\ro.svr", "keep\r\n", kAttrReadOnly);
  fp.clock.pauses.clear();
  EXPECT_THROW(patient.SaveListFile(list, "C:\\N\\ro.svr", false), AppError);
  EXPECT_TRUE(fp.clock.pauses.empty());
}

TEST_F(ListFileTest, EnsureFileExistsCreatesAnEmptyListFileAndEmptiesTheScratchList) {
  store.lstFile.Add("pending");
  store.EnsureFileExists("C:\\N\\new.log");
  EXPECT_EQ(fp.files.Get("C:\\N\\new.log"), "\r\n\r\n");
  EXPECT_TRUE(store.lstFile.Empty());
  store.lstFile.Add("pending");
  store.EnsureFileExists("C:\\N\\new.log");
  EXPECT_EQ(store.lstFile.Count(), 1) << "an existing file leaves the scratch list alone";
  fp.files.Put("C:\\N\\sys.log", "old", kAttrSystem);
  store.EnsureFileExists("C:\\N\\sys.log");
  EXPECT_EQ(fp.files.Get("C:\\N\\sys.log"), "\r\n\r\n") << "a system file counts as absent";
}

TEST_F(ListFileTest, ErrorLogThatCannotBeWrittenIsDroppedWithoutRecursion) {
  fp.files.failWrites.insert(test::FakeFiles::Key("C:\\N\\err.log"));
  store.lstFile.Add("left by a failed routine");
  store.LogError(AppError(53, "File not found"));
  EXPECT_FALSE(fp.files.Has("C:\\N\\err.log"));
  EXPECT_TRUE(store.lstFile.Empty());
}

TEST_F(ListFileTest, ErrorEntriesAndActivityEntriesAppendInOrder) {
  store.LogError(AppError(53, "File not found"));
  store.LogError(AppError(6, "Overflow", "Other"));
  EXPECT_EQ(ErrLog(), "\r\n\r\n53:File not found:Norvane\r\n\r\n\r\n6:Overflow:Other\r\n\r\n\r\n");
  ActivityLog ads(store, fp.platform, "C:\\N\\ads.log");
  ads.Write(" /a send on x ");
  ads.Write("/b send on y");
  EXPECT_EQ(fp.files.Get("C:\\N\\ads.log"), "\r\n\r\n/a send on x\r\n\r\n\r\n/b send on y\r\n\r\n\r\n");
}

}  // namespace
}  // namespace nv
