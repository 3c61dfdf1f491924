// The setup and its uninstaller under Wine: a silent install, an upgrade over
// a running Norvane, uninstalls after a clean run and after a kill, and a
// Norvane that will not close. The setup is the one tools/build made beside
// the staged program folder.
#include <winsock2.h>
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <tlhelp32.h>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "product/version.h"
#include "harness/harness.h"

using namespace e2e;

namespace {

const char kUserHosts[] = "# the user's own HOSTS file\r\n127.0.0.1       localhost\r\n\r\n10.0.0.5\tnas.home   \r\n";
const char kUserHostsListForm[] =
    "# the user's own HOSTS file\r\n127.0.0.1       localhost\r\n10.0.0.5\tnas.home\r\n\r\n\r\n";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Norvane";
const char kRunKey[] = "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN";

std::string SetupExe() { return StageDir() + "\\..\\norvane-setup-" NV_VERSION_TEXT ".exe"; }

std::string ShellFolder(int csidl) {
  char buf[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buf);
  return buf;
}
std::string InstallDir() { return ShellFolder(CSIDL_PROGRAM_FILES) + "\\Norvane"; }
std::string Shortcut() { return ShellFolder(CSIDL_COMMON_PROGRAMS) + "\\Norvane!.lnk"; }

// A path in double quotes, as command lines and the uninstall entry hold it.
// (Appending, not "\"" + path: GCC 12 warns wrongly about the latter.)
std::string Quoted(const std::string& path) {
  std::string q(1, '"');
  q += path;
  q += '"';
  return q;
}

bool SamePath(const std::string& a, const std::string& b) { return _stricmp(a.c_str(), b.c_str()) == 0; }

// Runs a command line to its end; returns its exit code, or ~0u when it could
// not start or did not end within the time.
DWORD Run(const std::string& commandLine, DWORD ms = 180000) {
  HANDLE p = nullptr;
  if (!Launch(commandLine, &p) || !p) return ~0u;
  DWORD code = ~0u;
  if (WaitForSingleObject(p, ms) == WAIT_OBJECT_0) GetExitCodeProcess(p, &code);
  CloseHandle(p);
  return code;
}

DWORD InstallSilently() { return Run(Quoted(SetupExe()) + " /S"); }

// The uninstaller copies itself to the temporary folder, starts the copy and
// ends at once; the copy does the work. Waits for the copies too.
void UninstallSilently(const std::string& dir) {
  DWORD pid = 0;
  HANDLE parent = nullptr;
  // Right after a case that upgraded and restarted Norvane, a loaded machine
  // has refused to start the fresh uninstaller once: try for a while, and say
  // why when it never starts.
  DWORD why = 0;
  const bool started = WaitUntil([&] {
    if (Launch(Quoted(dir + "\\uninst.exe") + " /S", &parent, &pid) && parent) return true;
    why = GetLastError();
    return false;
  }, 15000, 250);
  ASSERT_TRUE(started) << "the uninstaller in " << dir << " did not start (error " << why << ")";
  WaitForSingleObject(parent, 60000);
  CloseHandle(parent);
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 pe{};
  pe.dwSize = sizeof pe;
  std::vector<HANDLE> children;
  for (BOOL ok = Process32First(snap, &pe); ok; ok = Process32Next(snap, &pe))
    if (pe.th32ParentProcessID == pid)
      if (HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, pe.th32ProcessID)) children.push_back(h);
  CloseHandle(snap);
  for (HANDLE h : children) {
    EXPECT_EQ(WaitForSingleObject(h, 120000), WAIT_OBJECT_0) << "the uninstaller did not end";
    CloseHandle(h);
  }
}

std::optional<std::string> RegText(HKEY root, const std::string& key, const char* value) {
  char buf[1024] = {};
  DWORD size = sizeof buf;
  if (RegGetValueA(root, key.c_str(), value, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS)
    return std::nullopt;
  return std::string(buf);
}

std::optional<DWORD> RegNumber(HKEY root, const std::string& key, const char* value) {
  DWORD v = 0, size = sizeof v;
  if (RegGetValueA(root, key.c_str(), value, RRF_RT_REG_DWORD, nullptr, &v, &size) != ERROR_SUCCESS)
    return std::nullopt;
  return v;
}

bool KeyExists(HKEY root, const std::string& key) {
  HKEY k = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
  RegCloseKey(k);
  return true;
}

// Every file under a folder, as "\relative\path".
void ListFiles(const std::string& root, const std::string& rel, std::vector<std::string>& out) {
  WIN32_FIND_DATAA fd{};
  HANDLE h = FindFirstFileA((root + rel + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = fd.cFileName;
    if (name == "." || name == ".." || name == ".staged") continue;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ListFiles(root, rel + "\\" + name, out);
    else out.push_back(rel + "\\" + name);
  } while (FindNextFileA(h, &fd));
  FindClose(h);
}

std::string ShortcutTarget(const std::string& lnk) {
  static const CLSID kShellLink = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
  CoInitialize(nullptr);
  std::string target;
  IShellLinkA* link = nullptr;
  if (SUCCEEDED(CoCreateInstance(kShellLink, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IShellLinkA),
                                 reinterpret_cast<void**>(&link)))) {
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(__uuidof(IPersistFile), reinterpret_cast<void**>(&file)))) {
      std::wstring wide(lnk.begin(), lnk.end());
      char buf[MAX_PATH] = {};
      if (SUCCEEDED(file->Load(wide.c_str(), STGM_READ)) &&
          SUCCEEDED(link->GetPath(buf, sizeof buf, nullptr, 0)))
        target = buf;
      file->Release();
    }
    link->Release();
  }
  CoUninitialize();
  return target;
}

// One request to the ad server on 127.0.0.1:80; "" when nothing answers.
std::string AskAdServer(const std::string& path) {
  WSADATA wsa;
  WSAStartup(MAKEWORD(2, 2), &wsa);
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  const DWORD timeoutMs = 15000;
  setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeoutMs), sizeof timeoutMs);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(80);
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  std::string reply;
  if (connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
    const std::string request = "GET " + path + " HTTP/1.1\r\nHost: ads.example\r\n\r\n";
    send(s, request.data(), static_cast<int>(request.size()), 0);
    char buf[4096];
    for (int n; (n = recv(s, buf, sizeof buf, 0)) > 0;) reply.append(buf, static_cast<std::size_t>(n));
  }
  closesocket(s);
  WSACleanup();
  return reply;
}

// A Norvane this test did not start (the setup did): its main window and process.
struct StartedNorvane {
  HWND main = nullptr;
  HANDLE process = nullptr;
  std::string image;
  ~StartedNorvane() {
    if (process) {
      if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) TerminateProcess(process, 9);
      CloseHandle(process);
    }
  }
  bool Close() {
    PostMessageA(main, WM_CLOSE, 0, 0);
    return WaitForSingleObject(process, 15000) == WAIT_OBJECT_0;
  }
};

void FindStartedNorvane(DWORD notPid, StartedNorvane& found) {
  WaitUntil([&] {
    for (HWND h = nullptr; (h = FindWindowExA(nullptr, h, "NorvaneMain", nullptr)) != nullptr;) {
      DWORD pid = 0;
      GetWindowThreadProcessId(h, &pid);
      if (pid == notPid) continue;
      found.main = h;
      found.process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
      char buf[MAX_PATH] = {};
      DWORD size = sizeof buf;
      if (found.process && QueryFullProcessImageNameA(found.process, 0, buf, &size)) found.image = buf;
      return true;
    }
    return false;
  }, 20000);
}

// A log-on task named Norvane, as start with Windows registers it.
std::string AddLogonTask(const std::string& exe) {
  const std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-16\"?>"
      "<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">"
      "<Triggers><LogonTrigger><Enabled>true</Enabled></LogonTrigger></Triggers>"
      "<Actions Context=\"Author\"><Exec><Command>" + exe + "</Command></Exec></Actions></Task>";
  std::string utf16 = "\xFF\xFE";
  for (char c : xml) utf16 += std::string{c, '\0'};
  const std::string file = ShellFolder(CSIDL_WINDOWS) + "\\Temp\\norvane-task.xml";
  WriteFile(file, utf16);
  Run("schtasks.exe /Create /TN Norvane /XML " + Quoted(file) + " /F");
  RemoveFile(file);
  return ShellFolder(CSIDL_SYSTEM) + "\\Tasks\\Norvane";
}

std::string BlockList(const std::string& firstHost) { return "127.0.0.1 " + firstHost + "\r\n"; }

class Setup : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Exists(SetupExe())) << "no setup at " << SetupExe() << " (tools/build win64 makes it)";
    if (Exists(dir + "\\uninst.exe")) UninstallSilently(dir);
    ASSERT_FALSE(Exists(dir)) << "an earlier case left " << dir;
    ClearSettings();
    WriteFile(HostsPath(), kUserHosts);
  }
  const std::string dir = InstallDir();
};

TEST_F(Setup, SilentInstallPutsEverythingInPlaceAndTheInstalledNorvaneBlocksAds) {
  ASSERT_EQ(InstallSilently(), 0u);
  std::vector<std::string> staged;
  ListFiles(StageDir(), "", staged);
  ASSERT_GE(staged.size(), 9u);
  ULONGLONG bytes = 0;
  for (const std::string& rel : staged) {
    const std::string content = ReadFile(StageDir() + rel);
    EXPECT_EQ(ReadFile(dir + rel), content) << rel;
    bytes += content.size();
  }
  EXPECT_TRUE(Exists(dir + "\\uninst.exe"));
  EXPECT_FALSE(Exists(dir + "\\.staged"));
  EXPECT_TRUE(SamePath(ShortcutTarget(Shortcut()), dir + "\\norvane.exe")) << ShortcutTarget(Shortcut());

  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName").value_or("-"), "Norvane!");
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayVersion").value_or("-"), NV_VERSION_TEXT);
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "Publisher").value_or("-"), "Norvane");
  EXPECT_TRUE(SamePath(RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayIcon").value_or("-"),
                       dir + "\\norvane.exe,0"));
  EXPECT_TRUE(SamePath(RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallLocation").value_or("-"), dir));
  EXPECT_TRUE(SamePath(RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString").value_or("-"),
                       Quoted(dir + "\\uninst.exe")));
  EXPECT_TRUE(SamePath(RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "QuietUninstallString").value_or("-"),
                       Quoted(dir + "\\uninst.exe") + " /S"));
  EXPECT_EQ(RegNumber(HKEY_LOCAL_MACHINE, kUninstallKey, "NoModify").value_or(0), 1u);
  EXPECT_EQ(RegNumber(HKEY_LOCAL_MACHINE, kUninstallKey, "NoRepair").value_or(0), 1u);
  EXPECT_GE(RegNumber(HKEY_LOCAL_MACHINE, kUninstallKey, "EstimatedSize").value_or(0), bytes / 1024);
  EXPECT_EQ(ReadFile(HostsPath()), kUserHosts) << "the setup must leave the HOSTS file alone";

  Norvane app(dir);
  ASSERT_TRUE(app.Start());
  ASSERT_TRUE(app.WaitRunning());
  const std::string firstHost = ReadFile(dir + "\\data\\hosts.svr").substr(0, ReadFile(dir + "\\data\\hosts.svr").find('\r'));
  EXPECT_EQ(ReadFile(HostsPath()).rfind(BlockList(firstHost), 0), 0u) << ReadFile(HostsPath());
  EXPECT_EQ(AskAdServer("/banner.gif").rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
  app.Close();
  ASSERT_TRUE(app.WaitExit());
  EXPECT_EQ(ReadFile(HostsPath()), kUserHostsListForm);
}

TEST_F(Setup, UpgradeOverARunningNorvaneHandsHostsBackFirstKeepsTheListsAndStartsItAgain) {
  ASSERT_EQ(InstallSilently(), 0u);
  WriteFile(dir + "\\data\\hosts.svr", "edited.example\r\n");
  WriteFile(dir + "\\help.rtf", "the old release's help");
  Norvane app(dir);
  ASSERT_TRUE(app.Start());
  ASSERT_TRUE(app.WaitRunning());
  ASSERT_TRUE(WaitUntil([] { return ReadFile(HostsPath()) == BlockList("edited.example") + "\r\n\r\n"; }));

  // The first file the setup replaces tells what HOSTS held at that moment.
  std::atomic<bool> stop{false};
  std::string hostsAtReplace;
  bool runningAtReplace = true;
  std::thread watcher([&] {
    while (!stop && ReadFile(dir + "\\help.rtf") == "the old release's help") Sleep(2);
    hostsAtReplace = ReadFile(HostsPath());
    runningAtReplace = app.Running();
  });
  const DWORD code = InstallSilently();
  stop = true;
  watcher.join();
  ASSERT_EQ(code, 0u);
  EXPECT_FALSE(runningAtReplace) << "files were replaced while Norvane ran";
  EXPECT_EQ(hostsAtReplace, kUserHostsListForm);
  ASSERT_TRUE(app.WaitExit(0));
  EXPECT_EQ(app.ExitCode(), 0u) << "Norvane was not closed through its exit sequence";
  EXPECT_EQ(ReadFile(dir + "\\help.rtf"), ReadFile(StageDir() + "\\help.rtf"));
  EXPECT_EQ(ReadFile(dir + "\\data\\hosts.svr"), "edited.example\r\n");

  StartedNorvane again;
  FindStartedNorvane(app.pid(), again);
  ASSERT_TRUE(again.main) << "the setup did not start Norvane again";
  EXPECT_TRUE(SamePath(again.image, dir + "\\norvane.exe")) << again.image;
  EXPECT_TRUE(WaitUntil([] { return ReadFile(HostsPath()) == BlockList("edited.example") + "\r\n\r\n"; }, 20000))
      << ReadFile(HostsPath());
  EXPECT_TRUE(again.Close());
  EXPECT_EQ(ReadFile(HostsPath()), kUserHostsListForm);
}

void SetInstalledVersion(const char* version) {
  HKEY k = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_SET_VALUE, &k), ERROR_SUCCESS);
  RegSetValueExA(k, "DisplayVersion", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                 static_cast<DWORD>(strlen(version) + 1));
  RegCloseKey(k);
}

// This setup is older than what is installed (faked as 9.0.0): a silent run
// changes nothing and says so by its exit code; an interactive one asks, and
// "No" (the default) changes nothing either.
TEST_F(Setup, AnOlderSetupLeavesANewerNorvaneAlone) {
  ASSERT_EQ(InstallSilently(), 0u);
  SetInstalledVersion("9.0.0");
  WriteFile(dir + "\\help.rtf", "the newer release's help");
  EXPECT_EQ(InstallSilently(), 3u);
  EXPECT_EQ(ReadFile(dir + "\\help.rtf"), "the newer release's help");
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayVersion").value_or("-"), "9.0.0");

  DWORD pid = 0;
  HANDLE setup = nullptr;
  ASSERT_TRUE(Launch(Quoted(SetupExe()), &setup, &pid) && setup);
  std::optional<Box> box = WaitBox("Norvane! " NV_VERSION_TEXT " Setup", 20000);
  ASSERT_TRUE(box) << "no question before an older version replaces a newer one";
  EXPECT_NE(box->text.find("9.0.0"), std::string::npos) << box->text;
  PostMessageA(box->hwnd, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
  EXPECT_EQ(WaitForSingleObject(setup, 20000), WAIT_OBJECT_0);
  DWORD code = 0;
  GetExitCodeProcess(setup, &code);
  CloseHandle(setup);
  EXPECT_EQ(code, 3u);
  EXPECT_EQ(ReadFile(dir + "\\help.rtf"), "the newer release's help");

  SetInstalledVersion("2.0.0");
  EXPECT_EQ(InstallSilently(), 0u) << "a newer setup upgrades as before";
  EXPECT_EQ(ReadFile(dir + "\\help.rtf"), ReadFile(StageDir() + "\\help.rtf"));
}

// A second copy elsewhere would share the entry and the settings, and its
// uninstaller would remove them from under the first.
TEST_F(Setup, AnUpgradeStaysInTheInstalledFolder) {
  ASSERT_EQ(InstallSilently(), 0u);
  const std::string elsewhere = ShellFolder(CSIDL_WINDOWS).substr(0, 3) + "NorvaneElsewhere";
  EXPECT_EQ(::Run(Quoted(SetupExe()) + " /S /D=" + elsewhere), 0u);
  EXPECT_FALSE(Exists(elsewhere + "\\norvane.exe"));
  EXPECT_TRUE(SamePath(RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallLocation").value_or("-"), dir));
  EXPECT_TRUE(Exists(dir + "\\norvane.exe"));
}

TEST_F(Setup, SilentUninstallWhileRunningClosesNorvaneAndRemovesEverything) {
  ASSERT_EQ(InstallSilently(), 0u);
  HKEY run = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &run, nullptr),
            ERROR_SUCCESS);
  const std::string exe = dir + "\\Norvane.exe";
  RegSetValueExA(run, "Norvane.exe", 0, REG_SZ, reinterpret_cast<const BYTE*>(exe.c_str()),
                 static_cast<DWORD>(exe.size() + 1));
  RegCloseKey(run);
  WriteFile(dir + "\\start.ini", "1\r\n");
  const std::string task = AddLogonTask(exe);
  ASSERT_TRUE(Exists(task));
  Norvane app(dir);
  ASSERT_TRUE(app.Start());
  ASSERT_TRUE(app.WaitRunning());
  ASSERT_NE(ReadFile(HostsPath()), kUserHostsListForm);

  UninstallSilently(dir);
  ASSERT_TRUE(app.WaitExit(0)) << "the uninstaller left Norvane running";
  EXPECT_EQ(app.ExitCode(), 0u) << "Norvane was not closed through its exit sequence";
  EXPECT_EQ(ReadFile(HostsPath()), kUserHostsListForm);
  EXPECT_EQ(Attributes(HostsPath()) & FILE_ATTRIBUTE_READONLY, 0u) << "nothing would unlock HOSTS again";
  EXPECT_FALSE(Exists(dir));
  EXPECT_FALSE(Exists(Shortcut()));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  EXPECT_FALSE(RegText(HKEY_LOCAL_MACHINE, kRunKey, "Norvane.exe").has_value());
  EXPECT_FALSE(Exists(task));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Norvane"));
}

TEST_F(Setup, UninstallAfterAKillWhileBlockingGivesHostsItsBackupBack) {
  ASSERT_EQ(InstallSilently(), 0u);
  Norvane app(dir);
  ASSERT_TRUE(app.Start());
  ASSERT_TRUE(app.WaitRunning());
  app.Kill();
  ASSERT_NE(ReadFile(HostsPath()), kUserHostsListForm);
  ASSERT_EQ(GetSetting("Data", "Restore").value_or("-"), "False");
  SetAttributes(HostsPath(), FILE_ATTRIBUTE_READONLY);

  // While another program holds the HOSTS file, the uninstall stops and keeps
  // the only copy of the user's lines; once it is free, a second one succeeds.
  const std::string blocked = ReadFile(HostsPath());
  HANDLE held = CreateFileA(HostsPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  UninstallSilently(dir);
  CloseHandle(held);
  EXPECT_EQ(ReadFile(HostsPath()), blocked);
  EXPECT_EQ(ReadFile(dir + "\\data\\hosts.bak"), kUserHostsListForm);
  EXPECT_TRUE(Exists(dir + "\\uninst.exe"));

  UninstallSilently(dir);
  EXPECT_EQ(ReadFile(HostsPath()), kUserHostsListForm);
  EXPECT_EQ(Attributes(HostsPath()) & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_FALSE(Exists(dir));
}

// The uninstaller removes what Norvane made, by name: a file of the user's in
// the folder stays, with the folder. While norvane.exe of the folder is in
// use by a process whose window it cannot see (as another session's is), it
// refuses with exit code 3 and changes nothing.
TEST_F(Setup, UninstallRefusesWhileItsExeIsInUseAndRemovesOnlyNorvanesFiles) {
  ASSERT_EQ(InstallSilently(), 0u);
  Norvane app(dir);
  ASSERT_TRUE(app.Start());
  ASSERT_TRUE(app.WaitRunning());
  app.Kill();
  const std::string blocked = ReadFile(HostsPath());
  ASSERT_NE(blocked, kUserHostsListForm);
  WriteFile(dir + "\\data\\my-notes.txt", "mine");
  const std::string leftOver = HostsPath() + ".nvtmp77";
  WriteFile(leftOver, "half");

  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION hidden{};
  std::string line = Quoted(dir + "\\norvane.exe");
  ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, dir.c_str(),
                             &si, &hidden));
  const DWORD refused = ::Run(Quoted(dir + "\\uninst.exe") + " /S _?=" + dir);
  TerminateProcess(hidden.hProcess, 9);
  WaitForSingleObject(hidden.hProcess, 10000);
  CloseHandle(hidden.hThread);
  CloseHandle(hidden.hProcess);
  EXPECT_EQ(refused, 3u);
  EXPECT_EQ(ReadFile(HostsPath()), blocked);
  EXPECT_EQ(ReadFile(dir + "\\data\\hosts.bak"), kUserHostsListForm);
  EXPECT_TRUE(Exists(dir + "\\norvane.exe"));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));

  UninstallSilently(dir);
  EXPECT_EQ(ReadFile(HostsPath()), kUserHostsListForm);
  EXPECT_FALSE(Exists(leftOver));
  EXPECT_EQ(ReadFile(dir + "\\data\\my-notes.txt"), "mine");
  for (const char* gone : {"\\norvane.exe", "\\uninst.exe", "\\data\\hosts.bak", "\\data\\hosts.own",
                           "\\data\\hosts.svr", "\\images"})
    EXPECT_FALSE(Exists(dir + gone)) << gone;
  RemoveFile(dir + "\\data\\my-notes.txt");
  RemoveDirectoryA((dir + "\\data").c_str());
  RemoveDirectoryA(dir.c_str());
}

// A hidden main window of the right class that ignores the close request.
LRESULT CALLBACK Stubborn(HWND h, UINT m, WPARAM w, LPARAM l) {
  return m == WM_CLOSE ? 0 : DefWindowProcA(h, m, w, l);
}

TEST_F(Setup, NorvaneThatWillNotCloseStopsASilentSetupInTimeWithNothingChanged) {
  std::atomic<HWND> window{nullptr};
  std::thread owner([&] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = Stubborn;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "NorvaneMain";
    RegisterClassA(&wc);
    window = CreateWindowExA(0, "NorvaneMain", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                             wc.hInstance, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  });
  ASSERT_TRUE(WaitUntil([&] { return window.load() != nullptr; }));
  const ULONGLONG start = GetTickCount64();
  const DWORD code = InstallSilently();
  const ULONGLONG seconds = (GetTickCount64() - start) / 1000;
  PostMessageA(window, WM_QUIT, 0, 0);
  owner.join();
  EXPECT_EQ(code, 2u);
  EXPECT_LT(seconds, 60u);
  EXPECT_FALSE(Exists(dir));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
}

// The README's picture of the setup; runs only when NV_SHOTS names a folder.
TEST(SetupPicture, WelcomePage) {
  if (!GetEnvironmentVariableA("NV_SHOTS", nullptr, 0)) GTEST_SKIP() << "NV_SHOTS is not set";
  DWORD pid = 0;
  HANDLE setup = nullptr;
  ASSERT_TRUE(Launch(Quoted(SetupExe()), &setup, &pid) && setup);
  HWND wizard = nullptr;
  EXPECT_TRUE(WaitUntil([&] {
    return (wizard = FindTopWindow("#32770", "Norvane! " NV_VERSION_TEXT " Setup", pid)) != nullptr;
  }));
  // import is a Linux program: its handle does not wait for it, the file tells.
  char shots[MAX_PATH] = {};
  GetEnvironmentVariableA("NV_SHOTS", shots, sizeof shots);
  const std::string png = std::string("Z:") + shots + "/install.png";
  RemoveFile(png);
  Sleep(500);
  EXPECT_TRUE(Screenshot("install.png"));
  std::size_t size = 0;
  EXPECT_TRUE(WaitUntil([&] {
    const std::size_t now = ReadFile(png).size();
    const bool done = now > 0 && now == size;
    size = now;
    return done;
  }, 20000, 300));
  TerminateProcess(setup, 1);
  CloseHandle(setup);
}

}  // namespace
