#include "harness/settings_driver.h"

#include <commctrl.h>

#include <vector>

namespace e2e {

namespace {
// A block of memory in the window's process, for messages that carry a pointer.
class RemoteBlock {
 public:
  RemoteBlock(HWND window, size_t size) : size_(size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process_) address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  }
  ~RemoteBlock() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  char* address() const { return static_cast<char*>(address_); }
  void Write(const void* data, size_t n, size_t offset = 0) {
    WriteProcessMemory(process_, address() + offset, data, n, nullptr);
  }
  void Read(void* data, size_t n, size_t offset = 0) {
    ReadProcessMemory(process_, address() + offset, data, n, nullptr);
  }

 private:
  HANDLE process_ = nullptr;
  void* address_ = nullptr;
  size_t size_;
};
struct TipSearch {
  HWND owner, tip = nullptr;
};

BOOL CALLBACK MatchTip(HWND h, LPARAM p) {
  auto* s = reinterpret_cast<TipSearch*>(p);
  char cls[64] = {};
  GetClassNameA(h, cls, sizeof cls);
  if (_stricmp(cls, TOOLTIPS_CLASSA) != 0 || GetWindow(h, GW_OWNER) != s->owner) return TRUE;
  s->tip = h;
  return FALSE;
}
}  // namespace

HWND FindDialog(Norvane& app, const std::string& caption) { return FindTopWindow("#32770", caption, app.pid()); }

HWND OpenSettings(Norvane& app, int trayEvent) {
  PostMessageA(app.MainWindow(), WM_MOUSEMOVE, 0, static_cast<LPARAM>(trayEvent));
  HWND dialog = nullptr;
  WaitUntil([&] { return (dialog = FindDialog(app, "Settings")) != nullptr; });
  return dialog;
}

HWND ControlById(HWND parent, int id) {
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (GetDlgCtrlID(c) == id) return c;
    if (HWND d = ControlById(c, id)) return d;
  }
  return nullptr;
}

void ClickTab(HWND tab, int n) {
  RemoteBlock block(tab, sizeof(RECT));
  RECT r{};
  SendMessageA(tab, TCM_GETITEMRECT, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(block.address()));
  block.Read(&r, sizeof r);
  const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  SendMessageA(tab, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(tab, WM_LBUTTONUP, 0, at);
}

int CurrentTab(HWND tab) { return static_cast<int>(SendMessageA(tab, TCM_GETCURSEL, 0, 0)); }

void SelectRow(HWND list, int row) {
  RemoteBlock block(list, sizeof(LVITEMA));
  LVITEMA item{};
  item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
  block.Write(&item, sizeof item);
  SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(block.address()));
}

int SelectedRow(HWND list) {
  return static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

int RowCount(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

std::string RowText(HWND list, int row) {
  constexpr int kChars = 512;
  RemoteBlock block(list, sizeof(LVITEMA) + kChars);
  LVITEMA item{};
  item.iSubItem = 0;
  item.pszText = block.address() + sizeof(LVITEMA);
  item.cchTextMax = kChars;
  block.Write(&item, sizeof item);
  const auto n = SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(block.address()));
  std::vector<char> text(kChars + 1, '\0');
  block.Read(text.data(), kChars, sizeof(LVITEMA));
  return std::string(text.data(), static_cast<size_t>(n > 0 ? n : 0));
}

void TypeText(HWND edit, const std::string& text) {
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::map<int, std::string> Tooltips(HWND window) {
  TipSearch search{window};
  EnumWindows(MatchTip, reinterpret_cast<LPARAM>(&search));
  std::map<int, std::string> tips;
  if (!search.tip) return tips;
  constexpr int kChars = 512;
  const auto count = SendMessageA(search.tip, TTM_GETTOOLCOUNT, 0, 0);
  for (WPARAM i = 0; i < static_cast<WPARAM>(count); ++i) {
    RemoteBlock block(search.tip, sizeof(TTTOOLINFOA) + kChars);
    TTTOOLINFOA info{};
    info.cbSize = sizeof info;
    info.lpszText = block.address() + sizeof info;
    block.Write(&info, sizeof info);
    if (!SendMessageA(search.tip, TTM_ENUMTOOLSA, i, reinterpret_cast<LPARAM>(block.address()))) continue;
    std::vector<char> text(kChars + 1, '\0');
    block.Read(&info, sizeof info);
    block.Read(text.data(), kChars, sizeof info);
    tips[GetDlgCtrlID(reinterpret_cast<HWND>(info.uId))] = text.data();
  }
  return tips;
}

bool Checked(HWND box) { return SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

bool SettledScreenshot(const std::string& name) {
  char dir[MAX_PATH] = {};
  if (!GetEnvironmentVariableA("NV_SHOTS", dir, sizeof dir)) return false;
  const std::string path = "Z:" + std::string(dir) + "/" + name;
  DeleteFileA(path.c_str());
  if (!Screenshot(name)) return false;
  LONGLONG last = -1;
  return WaitUntil(
      [&] {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
        const LONGLONG size = (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        const bool settled = size > 0 && size == last;
        last = size;
        return settled;
      },
      20000, 300);
}

}  // namespace e2e
