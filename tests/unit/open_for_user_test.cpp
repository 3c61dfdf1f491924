// Addresses the program opens (the forum, the installer, a button's URL)
// run for the desktop's user, never with the administrator's rights.
#include <gtest/gtest.h>

#include "app/frm_main.h"
#include "ui/open_for_user.h"
#include "fakes/fake_main_view.h"
#include "fakes/fake_platform.h"

namespace nv {
namespace {

TEST(OpenForUser, AnElevatedProgramOnlyEverHandsTheAddressToTheDesktopsShell) {
  struct Case {
    bool elevated, desktopTakes;
    size_t own, desktop, boxes;
    bool opened;
  } cases[] = {
      {false, true, 1, 0, 0, true},   // not elevated: the shell from here, as the user's own rights
      {true, true, 0, 1, 0, true},    // elevated: the desktop's shell starts it, unelevated
      {true, false, 0, 1, 1, false},  // and when it cannot, nothing starts elevated instead
  };
  for (const Case& c : cases) {
    test::FakeShell shell;
    test::FakeDialogs dialogs;
    shell.elevated = c.elevated;
    shell.desktopTakes = c.desktopTakes;
    EXPECT_EQ(OpenForUser(shell, &dialogs, "Open", "https://forum.example/", 1), c.opened);
    EXPECT_EQ(shell.calls.size(), c.own) << c.elevated << c.desktopTakes;
    EXPECT_EQ(shell.desktopCalls.size(), c.desktop);
    ASSERT_EQ(dialogs.shown.size(), c.boxes);
    for (const auto& call : shell.calls.empty() ? shell.desktopCalls : shell.calls) {
      EXPECT_EQ(call.verb, "Open");
      EXPECT_EQ(call.file, "https://forum.example/");
      EXPECT_EQ(call.show, 1);
    }
    if (c.boxes) {
      EXPECT_NE(dialogs.shown[0].text.find("https://forum.example/"), std::string::npos) << "to open by hand";
    }
  }
}

TEST(OpenForUser, TheForumAndTheInstallerGoThroughTheDesktopsShellWhenElevated) {
  test::FakePlatform fp;
  for (const char* list : kListFiles) fp.files.Put(fp.system.programFolder + list, "");
  fp.files.Put("C:\\WINDOWS\\system32\\drivers\\etc\\HOSTS", "# mine\r\n");
  fp.shell.elevated = true;
  test::FakeMainView view;
  frmMain main(fp.platform, view);
  main.Form_Load();
  main.OnMenuCommand(MenuCommand::Online);
  main.Update().OpenInstaller();
  ASSERT_EQ(fp.shell.desktopCalls.size(), 2u);
  EXPECT_EQ(fp.shell.desktopCalls[0].file, "http://www.norvane.example/modules.php?name=Forums&file=index");
  EXPECT_EQ(fp.shell.desktopCalls[1].file, "https://www.norvane.example/norvane/update/ubdate.exe");
  EXPECT_TRUE(fp.shell.calls.empty());
}

}  // namespace
}  // namespace nv
