#include "app/frm_help_win32.h"

#include <richedit.h>

#include "ui/controls_win32.h"
#include "app/frm_help.h"
#include "app/frm_main.h"

namespace nv {

HWND HelpWindow::window_ = nullptr;

namespace {
constexpr char kClass[] = "NorvaneHelp";
constexpr int kClose = 2001;
constexpr int kW = 560, kH = 440;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

struct StreamSource {
  const std::string* text;
  size_t offset;
};

DWORD CALLBACK ReadChunk(DWORD_PTR cookie, LPBYTE buf, LONG want, LONG* got) {
  auto* src = reinterpret_cast<StreamSource*>(cookie);
  const size_t n = std::min<size_t>(static_cast<size_t>(want), src->text->size() - src->offset);
  memcpy(buf, src->text->data() + src->offset, n);
  src->offset += n;
  *got = static_cast<LONG>(n);
  return 0;
}

// The newest rich-edit control the system has.
const char* RichEditClass() {
  if (LoadLibraryA("Msftedit.dll")) return "RICHEDIT50W";
  LoadLibraryA("Riched20.dll");
  return RICHEDIT_CLASSA;
}

void Fill(HWND edit, const HelpText& help) {
  if (!help.rtf) {
    SetWindowTextA(edit, help.text.c_str());
    return;
  }
  StreamSource src{&help.text, 0};
  EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&src), 0, ReadChunk};
  SendMessageA(edit, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&es));
}
}  // namespace

void HelpWindow::Show(HINSTANCE inst, Files& files, const std::string& helpPath) {
  if (window_ && IsWindow(window_)) {
    ShowWindow(window_, SW_SHOWNORMAL);
    SetForegroundWindow(window_);
    return;
  }
  static bool registered = false;
  if (!registered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = inst;
    wc.hIcon = ui::ProgramIcon(32);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClass;
    registered = RegisterClassA(&wc) != 0;
  }
  const SIZE outer = ui::OuterSize(kStyle, 0, kW, kH);
  window_ = CreateWindowExA(WS_EX_CONTROLPARENT, kClass, kHelpCaption, kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                            outer.cx, outer.cy, nullptr, nullptr, inst, nullptr);
  HWND edit = ui::Child(window_, RichEditClass(), "",
                        WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_TABSTOP,
                        12, 12, kW - 24, kH - 80);
  Fill(edit, LoadHelpText(files, helpPath));
  ui::Child(window_, "STATIC", std::string(kHelpSiteLine) + kVendorSite, SS_LEFT, 12, kH - 58, kW - 24, 20);
  ui::Child(window_, "BUTTON", "Close", BS_DEFPUSHBUTTON | WS_TABSTOP, kW - 100, kH - 34, 88, 26, kClose);
  ui::CenterOnScreen(window_);
  ShowWindow(window_, SW_SHOWNORMAL);
  SetForegroundWindow(window_);
}

LRESULT CALLBACK HelpWindow::Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_COMMAND:
      if (LOWORD(w) == kClose || LOWORD(w) == IDCANCEL) DestroyWindow(h);
      return 0;
    case WM_CLOSE:
      DestroyWindow(h);
      return 0;
    case WM_DESTROY:
      if (h == window_) window_ = nullptr;
      return 0;
  }
  return DefWindowProcA(h, m, w, l);
}

}  // namespace nv
