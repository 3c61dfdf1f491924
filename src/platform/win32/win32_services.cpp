#include "platform/win32/win32_services.h"

#include <shellapi.h>
#include <mmsystem.h>
#include <shlobj.h>

#include <cstdlib>
#include <vector>

namespace nv {

static std::string KeyPath(const std::string& app, const std::string& section) {
  return "Software\\" + app + "\\" + section;
}

std::optional<std::string> Win32SettingsStore::Get(const std::string& app, const std::string& section,
                                                   const std::string& key) {
  HKEY k = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, KeyPath(app, section).c_str(), 0, KEY_QUERY_VALUE, &k) != ERROR_SUCCESS)
    return std::nullopt;
  DWORD type = 0, size = 0;
  std::optional<std::string> out;
  if (RegQueryValueExA(k, key.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      (type == REG_SZ || type == REG_EXPAND_SZ)) {
    std::string v(size, '\0');
    if (RegQueryValueExA(k, key.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(v.data()), &size) ==
        ERROR_SUCCESS) {
      v.resize(size);
      while (!v.empty() && v.back() == '\0') v.pop_back();
      out = v;
    }
  }
  RegCloseKey(k);
  return out;
}

void Win32SettingsStore::Set(const std::string& app, const std::string& section, const std::string& key,
                             const std::string& value) {
  HKEY k = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, KeyPath(app, section).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                      nullptr, &k, nullptr) != ERROR_SUCCESS)
    throw AppError(err::kPermissionDenied, "Cannot write the settings of " + app);
  LONG rc = RegSetValueExA(k, key.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>(value.size() + 1));
  RegCloseKey(k);
  if (rc != ERROR_SUCCESS) throw AppError(err::kPermissionDenied, "Cannot write the setting " + key);
}

LocalTime Win32Clock::Now() {
  SYSTEMTIME st{};
  GetLocalTime(&st);
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

static SYSTEMTIME ToSystemTime(const LocalTime& t) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(t.year);
  st.wMonth = static_cast<WORD>(t.month);
  st.wDay = static_cast<WORD>(t.day);
  st.wHour = static_cast<WORD>(t.hour);
  st.wMinute = static_cast<WORD>(t.minute);
  st.wSecond = static_cast<WORD>(t.second);
  return st;
}

std::string Win32Clock::ShortDate(const LocalTime& t) {
  SYSTEMTIME st = ToSystemTime(t);
  char buf[128] = {};
  GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buf, sizeof buf);
  return buf;
}

std::string Win32Clock::LongTime(const LocalTime& t) {
  SYSTEMTIME st = ToSystemTime(t);
  char buf[128] = {};
  GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, buf, sizeof buf);
  return buf;
}

namespace {
// The windows of this thread that a task-modal box with an owner must hold
// too: the system disables them only for a box without one.
BOOL CALLBACK DisableOther(HWND w, LPARAM param) {
  auto* held = reinterpret_cast<std::vector<HWND>*>(param);
  if (w != held->front() && IsWindowVisible(w) && IsWindowEnabled(w)) {
    EnableWindow(w, FALSE);
    held->push_back(w);
  }
  return TRUE;
}
}  // namespace

// A tray program may have no window in front, so boxes come to the
// foreground themselves. A box belongs to the window that asks for it (else
// to this thread's active window): modal to it and in front of it. The
// system gives the owner the keyboard back afterwards; a task-modal box
// without any owner disables every window of the thread, and the window the
// user was in gets the keyboard back here.
int Win32Dialogs::Show(const std::string& text, const std::string& title, unsigned style, WindowHandle owner) {
  HWND active = GetActiveWindow(), focus = GetFocus();
  HWND parent = owner ? reinterpret_cast<HWND>(owner) : active;
  if (parent && (!IsWindow(parent) || !IsWindowVisible(parent))) parent = nullptr;
  std::vector<HWND> held{parent};
  if (parent && (style & MB_TASKMODAL)) {
    EnumThreadWindows(GetCurrentThreadId(), DisableOther, reinterpret_cast<LPARAM>(&held));
    style &= ~static_cast<unsigned>(MB_TASKMODAL);
  }
  const int answer = ::MessageBoxA(parent, text.c_str(), title.c_str(), style | MB_SETFOREGROUND);
  for (std::size_t i = 1; i < held.size(); ++i)
    if (IsWindow(held[i])) EnableWindow(held[i], TRUE);
  if (!parent && (style & MB_TASKMODAL) && active && IsWindow(active) && IsWindowVisible(active)) {
    SetForegroundWindow(active);
    if (focus && IsWindow(focus) && IsChild(active, focus)) SetFocus(focus);
  }
  return answer;
}

std::string Win32System::ProgramFolder() {
  char buf[MAX_PATH * 2] = {};
  DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
  std::string p(buf, n);
  auto slash = p.find_last_of("\\/");
  return slash == std::string::npos ? std::string(".") : p.substr(0, slash);
}

// The C runtime has split the command line already, with the system's quoting rules.
std::vector<std::string> Win32System::Arguments() {
  std::vector<std::string> args;
  for (int i = 1; i < __argc; ++i) args.emplace_back(__argv[i]);
  return args;
}

std::string Win32System::WindowsDirectory(unsigned maxChars) {
  std::vector<char> buf(maxChars + 1, '\0');
  UINT n = GetWindowsDirectoryA(buf.data(), maxChars);
  if (n == 0 || n > maxChars) return "";
  return std::string(buf.data(), n);
}

std::optional<std::string> Win32System::SpecialFolder(int csidl) {
  LPITEMIDLIST pidl = nullptr;
  if (SHGetSpecialFolderLocation(nullptr, csidl, &pidl) != S_OK) return std::nullopt;
  char buf[512] = {};
  BOOL ok = SHGetPathFromIDListA(pidl, buf);
  CoTaskMemFree(pidl);
  if (!ok) return std::string();
  return std::string(buf);
}

std::string Win32System::UserName(unsigned maxChars) {
  std::vector<char> buf(maxChars + 1, '\0');
  DWORD n = maxChars;
  if (!GetUserNameA(buf.data(), &n)) return "";
  return std::string(buf.data(), n);
}

// A named mutex per user session: FindWindow alone would race two quick starts.
bool Win32System::ClaimSingleInstance() {
  mutex_ = CreateMutexA(nullptr, FALSE, "Local\\Norvane.SingleInstance");
  return !(mutex_ && GetLastError() == ERROR_ALREADY_EXISTS);
}

void Win32System::EndProcess() { ExitProcess(0); }

void Win32Sound::Play(const std::string& path, unsigned flags) {
  if (path.empty()) return;
  if (flags & kSoundFileName) PlaySoundA(path.c_str(), nullptr, flags);
  else sndPlaySoundA(path.c_str(), flags);
}

void Win32Shell::Execute(const std::string& verb, const std::string& file, const std::string& params,
                         const std::string& dir, int show) {
  // No verb is the default action, which only a null verb asks for.
  ShellExecuteA(owner, verb.empty() ? nullptr : verb.c_str(), file.c_str(), params.c_str(), dir.c_str(), show);
}

int Win32Text::FindNoCase(const std::string& haystack, const std::string& needle) {
  const int n = static_cast<int>(needle.size());
  const int h = static_cast<int>(haystack.size());
  if (n == 0) return h > 0 ? 1 : 0;
  for (int i = 0; i + n <= h; ++i)
    if (CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, haystack.data() + i, n, needle.data(), n) ==
        CSTR_EQUAL)
      return i + 1;
  return 0;
}

// Word sort (no SORT_STRINGSORT), as a sorted list box orders its items.
int Win32Text::CompareNoCase(const std::string& a, const std::string& b) {
  return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                        static_cast<int>(b.size())) - CSTR_EQUAL;
}

std::string Win32Text::SortKey(const std::string& text) {
  constexpr DWORD kFlags = LCMAP_SORTKEY | NORM_IGNORECASE;
  const int length = static_cast<int>(text.size());
  char small[256];
  int n = LCMapStringA(LOCALE_USER_DEFAULT, kFlags, text.data(), length, small, sizeof small);
  if (n > 0) return std::string(small, static_cast<size_t>(n - 1));  // without the closing NUL
  n = LCMapStringA(LOCALE_USER_DEFAULT, kFlags, text.data(), length, nullptr, 0);
  if (n <= 0) return text;
  std::string key(static_cast<size_t>(n), '\0');
  n = LCMapStringA(LOCALE_USER_DEFAULT, kFlags, text.data(), length, key.data(), n);
  key.resize(n > 0 ? static_cast<size_t>(n - 1) : 0);
  return key;
}

}  // namespace nv
