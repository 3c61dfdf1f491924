// The store over real files (the posix side of the seam).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "integration/temp_dir.h"
#include "platform/posix/posix_files.h"
#include "store/store.h"

namespace nv {
namespace {

std::string Slurp(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

struct StoreFiles : ::testing::Test {
  test::TempDir dir;
  PosixFiles files;
  Store store{files, dir.path()};
  ListBox list;
};

TEST_F(StoreFiles, SaveReplacesTheFileWithoutLeavingTemporaryFiles) {
  std::ofstream(dir / "hosts") << "old content that is longer than the new one\r\n";
  chmod((dir / "hosts").c_str(), 0640);
  list.Add("127.0.0.1 ads.example");
  store.SaveListFile(list, dir / "hosts", false);
  EXPECT_EQ(Slurp(dir / "hosts"), "127.0.0.1 ads.example\r\n\r\n\r\n");
  int entries = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.path())) entries += e.is_regular_file();
  EXPECT_EQ(entries, 1);
  struct stat st {};
  stat((dir / "hosts").c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0640u) << "permissions survive the replacement";
}

TEST_F(StoreFiles, ReadOnlyFileIsRefusedAndKept) {
  std::ofstream(dir / "ro.svr") << "keep\r\n";
  files.SetAttributes(dir / "ro.svr", kAttrReadOnly);
  EXPECT_EQ(files.GetAttributes(dir / "ro.svr"), unsigned(kAttrReadOnly));
  list.Add("new");
  EXPECT_THROW(store.SaveListFile(list, dir / "ro.svr", false), AppError);
  EXPECT_EQ(Slurp(dir / "ro.svr"), "keep\r\n");
  files.SetAttributes(dir / "ro.svr", kAttrNormal);
  store.SaveListFile(list, dir / "ro.svr", false);
  EXPECT_EQ(Slurp(dir / "ro.svr"), "new\r\n\r\n\r\n");
}

TEST_F(StoreFiles, WindowsPathsAndOddContentRoundTrip) {
  std::ofstream(dir / "in.svr", std::ios::binary)
      << std::string(300000, 'x') << "\rb\nc\r\n\r\n  b\nc  \r\n\xFF";
  store.LoadListFile(list, dir.path() + "\\in.svr");
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list[1], "b\nc");
  store.SaveListFile(list, dir.path() + "\\out.svr", false);
  EXPECT_EQ(Slurp(dir / "out.svr"), std::string(300000, 'x') + "\r\nb\nc\r\n\xFF\r\n\r\n\r\n");
}

TEST_F(StoreFiles, FolderOrMissingFileLoadsEmptyAndIsLogged) {
  std::filesystem::create_directory(dir / "folder.svr");
  store.LoadListFile(list, dir / "folder.svr");
  store.LoadListFile(list, dir / "missing.svr");
  EXPECT_TRUE(list.Empty());
  EXPECT_EQ(Slurp(dir / "err.log"),
            "\r\n\r\n75:Path/File access error:Norvane\r\n\r\n\r\n53:File not found:Norvane\r\n\r\n\r\n");
}

TEST_F(StoreFiles, ListingFindsOnlyMatchingFiles) {
  for (const char* n : {"a.txt", "B.TXT", "c.dat", "d.txt.bak"}) std::ofstream(dir / n) << "x";
  std::filesystem::create_directory(dir / "e.txt");
  EXPECT_EQ(files.List(dir.path(), "*.txt"), (std::vector<std::string>{"B.TXT", "a.txt"}));
}

}  // namespace
}  // namespace nv
