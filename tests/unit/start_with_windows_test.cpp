// Start with Windows: the marker file, the Run value and the log-on task.
#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "settings/start_with_windows.h"
#include "store/store.h"

namespace nv {
namespace {

using test::FakePlatform;

constexpr char kFolder[] = "C:\\Program Files\\Norvane";
constexpr char kExe[] = "C:\\Program Files\\Norvane\\Norvane.exe";

struct StartWithWindowsTest : ::testing::Test {
  std::optional<RegValue> RunValue() const {
    return fp.registry.Get(kHkeyLocalMachine, kRunSubkey, kRunValueName);
  }
  std::string Marker() const { return fp.files.Get(std::string(kFolder) + "\\start.ini"); }
  std::string ErrLog() const { return fp.files.Get(std::string(kFolder) + "\\err.log"); }

  FakePlatform fp;
  Store store{fp.files, kFolder};
  StartWithWindows startup{store, fp.registry, fp.logonTask};
};

TEST_F(StartWithWindowsTest, OnWritesTheMarkerFirstThenTheRunValueAndTheTask) {
  std::vector<std::string> markerAtOpen;
  fp.registry.onOpen = [&] { markerAtOpen.push_back(Marker()); };
  startup.Update(true);
  ASSERT_FALSE(markerAtOpen.empty());
  EXPECT_EQ(markerAtOpen.front(), "1\r\n");
  ASSERT_TRUE(RunValue());
  EXPECT_EQ(RunValue()->bytes, std::string(kExe) + '\0');
  ASSERT_EQ(fp.logonTask.tasks.count("Norvane"), 1u);
  const auto& task = fp.logonTask.tasks["Norvane"];
  EXPECT_EQ(task.program, kExe);
  EXPECT_EQ(task.arguments, "/logon");
  EXPECT_EQ(task.workingDir, kFolder);
  EXPECT_EQ(ErrLog(), "");

  markerAtOpen.clear();
  startup.Update(false);
  EXPECT_EQ(markerAtOpen.front(), "0\r\n");
  EXPECT_FALSE(RunValue());
  EXPECT_TRUE(fp.logonTask.tasks.empty());
  EXPECT_EQ(Marker(), "0\r\n");
  EXPECT_TRUE(fp.registry.openKeys.empty());
}

TEST_F(StartWithWindowsTest, ThePathHasExactlyOneBackslashBeforeTheName) {
  EXPECT_EQ(ExecutablePath("C:\\Program Files\\Norvane"), kExe);
  EXPECT_EQ(ExecutablePath("D:\\"), "D:\\Norvane.exe");
  Store atRoot{fp.files, "D:\\"};
  StartWithWindows rooted{atRoot, fp.registry, fp.logonTask};
  rooted.Update(true);
  EXPECT_EQ(RunValue()->bytes, std::string("D:\\Norvane.exe\0", 15));
}

TEST_F(StartWithWindowsTest, ApplyingTwiceLeavesOneValue) {
  fp.registry.Put(kHkeyLocalMachine, kRunSubkey, "Other", {kRegSz, std::string("o\0", 2)});
  startup.Update(true);
  startup.Update(true);
  EXPECT_EQ(fp.registry.ValueCount(kHkeyLocalMachine, kRunSubkey), 2u);
  EXPECT_EQ(fp.logonTask.tasks.size(), 1u);
}

TEST_F(StartWithWindowsTest, AMarkerThatCannotBeWrittenThrowsAndTouchesNoRegistry) {
  fp.files.failWrites.insert(test::FakeFiles::Key(std::string(kFolder) + "\\start.ini"));
  for (bool on : {true, false}) {
    EXPECT_THROW(startup.Update(on), AppError);
    EXPECT_TRUE(fp.registry.calls.empty());
    EXPECT_TRUE(fp.logonTask.calls.empty());
  }
}

TEST_F(StartWithWindowsTest, RegistryAndTaskFailuresAreSilentAndLoggedOncePerRun) {
  fp.registry.denyWrite = true;
  fp.logonTask.failure = AppError(-2147467263, "The log-on task could not be registered", "Task Scheduler");
  startup.Update(true);
  startup.Update(true);
  EXPECT_EQ(Marker(), "1\r\n");
  EXPECT_EQ(ErrLog(),
            "\r\n\r\n"  // the empty log's own lines
            "70:Could not write HKEY_LOCAL_MACHINE\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN\\"
            "Norvane.exe:Norvane\r\n\r\n\r\n"
            "-2147467263:The log-on task could not be registered:Task Scheduler\r\n\r\n\r\n");
  fp.registry.denyWrite = false;
  fp.registry.Put(kHkeyLocalMachine, kRunSubkey, kRunValueName, {kRegSz, "x"});
  fp.registry.failSet = true;
  startup.Update(false);
  EXPECT_NE(ErrLog().find("70:Could not remove HKEY_LOCAL_MACHINE"), std::string::npos);
}

TEST_F(StartWithWindowsTest, RegisteredWhenEitherRecordExists) {
  EXPECT_FALSE(startup.Registered());
  fp.logonTask.tasks["Norvane"] = {kExe, "/logon", kFolder};
  EXPECT_TRUE(startup.Registered());
  fp.logonTask.tasks.clear();
  fp.registry.Put(kHkeyLocalMachine, kRunSubkey, kRunValueName, {kRegSz, std::string(kExe) + '\0'});
  EXPECT_TRUE(startup.Registered());
  fp.logonTask.failure = AppError(-2147467263, "no Task Scheduler");
  EXPECT_TRUE(startup.Registered());
  EXPECT_TRUE(fp.registry.openKeys.empty());
}

}  // namespace
}  // namespace nv
