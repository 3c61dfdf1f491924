#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
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
