#include "harness/harness.h"

#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

namespace e2e {

bool WaitUntil(const std::function<bool()>& cond, int ms, int stepMs) {
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(ms);
  for (;;) {
    if (cond()) return true;
    if (GetTickCount64() >= end) return false;
    Sleep(static_cast<DWORD>(stepMs));
  }
}

std::string StageDir() {
  char buf[MAX_PATH] = {};
  DWORD n = GetEnvironmentVariableA("NV_STAGE", buf, sizeof buf);
  return n ? std::string(buf, n) : std::string("Z:\\stage");
}

static void CopyTree(const std::string& from, const std::string& to) {
  CreateDirectoryA(to.c_str(), nullptr);
  WIN32_FIND_DATAA fd{};
  HANDLE h = FindFirstFileA((from + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    std::string name = fd.cFileName;
    if (name == "." || name == ".." || name == ".staged") continue;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) CopyTree(from + "\\" + name, to + "\\" + name);
    else CopyFileA((from + "\\" + name).c_str(), (to + "\\" + name).c_str(), FALSE);
  } while (FindNextFileA(h, &fd));
  FindClose(h);
}

static void RemoveTree(const std::string& dir) {
  WIN32_FIND_DATAA fd{};
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::string name = fd.cFileName;
      if (name == "." || name == "..") continue;
      std::string p = dir + "\\" + name;
      SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(p);
      else DeleteFileA(p.c_str());
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryA(dir.c_str());
}

std::string InstallFresh(const std::string& name) {
  CreateDirectoryA("C:\\nvtest", nullptr);
  const std::string dir = "C:\\nvtest\\" + name;
  RemoveTree(dir);
  CopyTree(StageDir(), dir);
  // A test instance never fetches the shipped block list from the internet;
  // the block lists' suite names its own server's lists.
  WriteFile(dir + "\\data\\lists.svr", "\r\n\r\n");
  return dir;
}

std::string HostsPath() {
  char buf[MAX_PATH] = {};
  GetWindowsDirectoryA(buf, sizeof buf);
  return std::string(buf) + "\\system32\\drivers\\etc\\hosts";
}

std::string ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return "";
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f << bytes;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
DWORD Attributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }
void SetAttributes(const std::string& path, DWORD attrs) { SetFileAttributesA(path.c_str(), attrs); }
void RemoveFile(const std::string& path) {
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(path.c_str());
}

static const char kKeyRoot[] = "Software\\Norvane";

std::optional<std::string> GetSetting(const std::string& section, const std::string& key) {
  char buf[1024] = {};
  DWORD size = sizeof buf;
  const std::string sub = std::string(kKeyRoot) + "\\" + section;
  if (RegGetValueA(HKEY_CURRENT_USER, sub.c_str(), key.c_str(), RRF_RT_REG_SZ, nullptr, buf, &size) !=
      ERROR_SUCCESS)
    return std::nullopt;
  return std::string(buf);
}

void SetSetting(const std::string& section, const std::string& key, const std::string& value) {
  HKEY k = nullptr;
  const std::string sub = std::string(kKeyRoot) + "\\" + section;
  RegCreateKeyExA(HKEY_CURRENT_USER, sub.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr);
  RegSetValueExA(k, key.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
  RegCloseKey(k);
}

void ClearSettings() { RegDeleteTreeA(HKEY_CURRENT_USER, kKeyRoot); }

std::string TextOf(HWND h);
static std::string WindowText(HWND h) { return TextOf(h); }

std::string TextOf(HWND h) {
  char buf[2048] = {};
  SendMessageTimeoutA(h, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 2000,
                      nullptr);
  return buf;
}

namespace {
struct BoxSearch {
  std::string title;
  std::optional<Box> found;
};

BOOL CALLBACK MatchBox(HWND h, LPARAM p) {
  auto* s = reinterpret_cast<BoxSearch*>(p);
  char cls[64] = {};
  GetClassNameA(h, cls, sizeof cls);
  if (std::string(cls) != "#32770" || !IsWindowVisible(h) || WindowText(h) != s->title) return TRUE;
  Box b;
  b.hwnd = h;
  b.title = s->title;
  GetWindowThreadProcessId(h, &b.pid);
  if (HWND t = GetDlgItem(h, 0xFFFF)) b.text = WindowText(t);
  s->found = b;
  return FALSE;
}
}  // namespace

// A message box is a dialog whose static control 0xFFFF holds the text.
std::optional<Box> FindBox(const std::string& title) {
  BoxSearch s{title, std::nullopt};
  EnumWindows(MatchBox, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

std::optional<Box> WaitBox(const std::string& title, int ms) {
  std::optional<Box> box;
  WaitUntil([&] { return (box = FindBox(title)).has_value(); }, ms);
  return box;
}

void DismissBox(const Box& box) {
  HWND ok = GetDlgItem(box.hwnd, IDOK);
  if (!ok) ok = GetDlgItem(box.hwnd, IDCANCEL);
  if (ok) PostMessageA(box.hwnd, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(ok), BN_CLICKED),
                       reinterpret_cast<LPARAM>(ok));
  else PostMessageA(box.hwnd, WM_CLOSE, 0, 0);
  WaitUntil([&] { return !IsWindow(box.hwnd); }, 5000);
}

Norvane::~Norvane() {
  if (Running()) Kill();
  if (pi_.hProcess) CloseHandle(pi_.hProcess);
  if (pi_.hThread) CloseHandle(pi_.hThread);
}

bool Norvane::Start(const std::string& arguments) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  std::string cmd = "\"" + folder_ + "\\norvane.exe\"";
  if (!arguments.empty()) cmd += " " + arguments;
  std::vector<char> line(cmd.begin(), cmd.end());
  line.push_back('\0');
  main_ = nullptr;
  return CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(), &si,
                        &pi_) != 0;
}

HWND Norvane::MainWindow(int ms) {
  if (main_ && IsWindow(main_)) return main_;
  WaitUntil(
      [&] {
        HWND h = nullptr;
        while ((h = FindWindowExA(nullptr, h, "NorvaneMain", nullptr)) != nullptr) {
          DWORD pid = 0;
          GetWindowThreadProcessId(h, &pid);
          if (pid == pi_.dwProcessId) {
            main_ = h;
            return true;
          }
        }
        return !Running();
      },
      ms);
  return main_;
}

static HWND AboutLabel(HWND main, int id) {
  HWND panel = GetWindow(main, GW_CHILD);
  return panel ? GetDlgItem(panel, id) : nullptr;
}

std::string Norvane::StatusLine() {
  HWND main = MainWindow(0);
  HWND label = main ? AboutLabel(main, kLabel2Id) : nullptr;
  return label ? WindowText(label) : "";
}

std::string Norvane::VersionLine() {
  HWND main = MainWindow(0);
  HWND label = main ? AboutLabel(main, kLabel4Id) : nullptr;
  return label ? WindowText(label) : "";
}

bool Norvane::WaitRunning(int ms) {
  return WaitUntil([&] { return !Running() || (MainWindow(0) && !StatusLine().empty()); }, ms) && Running();
}

void Norvane::Close() {
  if (HWND h = MainWindow(0)) PostMessageA(h, WM_CLOSE, 0, 0);
}

void Norvane::EndSession() {
  if (HWND h = MainWindow(0)) {
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(h, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer);
    SendMessageTimeoutA(h, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 10000, &answer);
  }
}

void Norvane::Kill() {
  if (pi_.hProcess) {
    TerminateProcess(pi_.hProcess, 9);
    WaitForSingleObject(pi_.hProcess, 10000);
  }
}

bool Norvane::WaitExit(int ms) {
  return pi_.hProcess && WaitForSingleObject(pi_.hProcess, static_cast<DWORD>(ms)) == WAIT_OBJECT_0;
}

bool Norvane::Running() const {
  return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

DWORD Norvane::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (pi_.hProcess) GetExitCodeProcess(pi_.hProcess, &code);
  return code;
}

}  // namespace e2e

namespace e2e {

HWND FindTopWindow(const std::string& cls, const std::string& title, DWORD pid) {
  HWND h = nullptr;
  while ((h = FindWindowExA(nullptr, h, cls.empty() ? nullptr : cls.c_str(),
                            title.empty() ? nullptr : title.c_str())) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    if ((pid == 0 || owner == pid) && IsWindowVisible(h)) return h;
  }
  return nullptr;
}

HWND FindDescendant(HWND parent, const std::string& cls, const std::string& text) {
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    char name[64] = {};
    GetClassNameA(c, name, sizeof name);
    if (_stricmp(name, cls.c_str()) == 0 && (text.empty() || TextOf(c) == text)) return c;
    if (HWND d = FindDescendant(c, cls, text)) return d;
  }
  return nullptr;
}

void Click(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

void PostKeys(HWND target, std::initializer_list<WORD> keys) {
  for (WORD vk : keys) {
    const UINT scan = MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
    PostMessageA(target, WM_KEYDOWN, vk, 1 | (scan << 16));
    PostMessageA(target, WM_KEYUP, vk, 1 | (scan << 16) | (1u << 30) | (1u << 31));
    Sleep(30);
  }
}

HWND Norvane::OpenTrayMenu(int ms) {
  HWND main = MainWindow(0);
  if (!main) return nullptr;
  PostMessageA(main, WM_MOUSEMOVE, 1, 0x204);
  HWND menu = nullptr;
  WaitUntil([&] { return (menu = FindTopWindow("#32768", "", pi_.dwProcessId)) != nullptr; }, ms);
  return menu;
}

bool Norvane::PickMenuItem(int stepsDown) {
  HWND menu = OpenTrayMenu();
  if (!menu) return false;
  // The menu shows before its own loop takes keys. On a busy machine a pick
  // went astray now and then (another item, or none); keys are sent once the
  // loop has had time to start.
  Sleep(200);
  for (int i = 0; i < stepsDown; ++i) PostKeys(menu, {VK_DOWN});
  PostKeys(menu, {VK_RETURN});
  return WaitUntil([&] { return !IsWindowVisible(menu); }, 5000);
}

}  // namespace e2e

namespace e2e {

bool Launch(const std::string& commandLine, HANDLE* process, DWORD* pid) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return false;
  if (pi.hThread) CloseHandle(pi.hThread);
  if (pid) *pid = pi.dwProcessId;
  if (process) *process = pi.hProcess;
  else if (pi.hProcess) CloseHandle(pi.hProcess);
  return true;
}

bool Screenshot(const std::string& name) {
  char dir[MAX_PATH] = {};
  if (!GetEnvironmentVariableA("NV_SHOTS", dir, sizeof dir)) return false;
  return Launch("Z:\\usr\\bin\\import -window root " + std::string(dir) + "/" + name);
}

}  // namespace e2e
