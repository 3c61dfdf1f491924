// The tab strip (drawn on the dialog's blue, pages below it), the pages'
// frames, and the dialog's keys: Ctrl+Tab between tabs, the access keys,
// Enter in an entry box.
#include <windows.h>
#include <commctrl.h>

#include <cctype>
#include <vector>

#include "ui/controls_win32.h"
#include "settings/access_keys.h"
#include "settings/frm_settings_win32.h"
#include "settings/settings_texts.h"
#include "ui/access_key.h"
#include "platform/window_barrier.h"

namespace nv {

namespace {
std::string CaptionOf(HWND control) {
  char buf[64] = {};
  GetWindowTextA(control, buf, sizeof buf);
  return buf;
}

// The raised frame's top line, open under the selected tab.
void DrawStripBaseline(HDC dc, const RECT& client, const RECT& selected) {
  RECT left{client.left, client.bottom - 2, selected.left, client.bottom};
  RECT right{selected.right, client.bottom - 2, client.right, client.bottom};
  DrawEdge(dc, &left, EDGE_RAISED, BF_TOP);
  DrawEdge(dc, &right, EDGE_RAISED, BF_TOP);
}
}  // namespace

void SettingsWindow::ShowTab(int family) {
  if (family == shownTab_) return;
  const HWND focus = GetFocus();
  if (shownTab_ >= 0 && IsChild(PageOf(shownTab_), focus))
    SendMessageA(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(tab_), TRUE);
  SendMessageA(tab_, TCM_SETCURSEL, static_cast<WPARAM>(family), 0);
  for (int i = 0; i < kSettingsTabs; ++i) ShowWindow(PageOf(i), i == family ? SW_SHOWNA : SW_HIDE);
  shownTab_ = family;
  InvalidateRect(tab_, nullptr, TRUE);
}

void SettingsWindow::PaintTabs(HDC dc) {
  RECT client{};
  GetClientRect(tab_, &client);
  FillRect(dc, &client, blue_);
  const HGDIOBJ oldFont = SelectObject(dc, ui::DialogFont());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  const int selected = static_cast<int>(SendMessageA(tab_, TCM_GETCURSEL, 0, 0));
  RECT open{};
  for (int i = 0; i < kSettingsTabs; ++i) {
    RECT r{};
    SendMessageA(tab_, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
    r.bottom = client.bottom;
    if (i == selected) {
      InflateRect(&r, 2, 0);
      r.top = 0;
      open = r;
    } else {
      r.bottom -= 2;
    }
    DrawEdge(dc, &r, EDGE_RAISED, BF_LEFT | BF_TOP | BF_RIGHT | BF_SOFT);
    DrawTextA(dc, TabCaption(i), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (i == selected && GetFocus() == tab_) {
      InflateRect(&r, -4, -4);
      DrawFocusRect(dc, &r);
    }
  }
  DrawStripBaseline(dc, client, open);
  SelectObject(dc, oldFont);
}

LRESULT CALLBACK SettingsWindow::TabProc(HWND h, UINT m, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR self) {
  auto* s = reinterpret_cast<SettingsWindow*>(self);
  switch (m) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      CallBarrier("settings tabs", [&] { s->PaintTabs(dc); });
      EndPaint(h, &ps);
      return 0;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateRect(h, nullptr, FALSE);
      break;
  }
  return DefSubclassProc(h, m, w, l);
}

// A page draws the frame's sides and bottom, and passes its controls'
// messages to the dialog.
LRESULT CALLBACK SettingsWindow::PageProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return SendMessageA(GetParent(h), m, w, l);
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      RECT r{};
      GetClientRect(h, &r);
      DrawEdge(dc, &r, EDGE_RAISED, BF_LEFT | BF_RIGHT | BF_BOTTOM);
      EndPaint(h, &ps);
      return 0;
    }
  }
  return DefWindowProcA(h, m, w, l);
}

// Enter in an entry box is that tab's Add; the box keeps the key from the
// dialog manager, which would take it for OK.
LRESULT CALLBACK SettingsWindow::EntryProc(HWND h, UINT m, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR self) {
  auto* s = reinterpret_cast<SettingsWindow*>(self);
  const auto* msg = reinterpret_cast<const MSG*>(l);
  if (m == WM_GETDLGCODE && msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN)
    return DLGC_WANTALLKEYS | DefSubclassProc(h, m, w, l);
  if (m == WM_KEYDOWN && w == VK_RETURN) {
    CallBarrier("settings entry", [&] { s->core_.txt_Enter(static_cast<SettingsList>(s->FamilyOf(h))); });
    return 0;
  }
  if (m == WM_CHAR && w == '\r') return 0;
  return DefSubclassProc(h, m, w, l);
}

bool SettingsWindow::FilterKeys(MSG& msg) {
  if (msg.message == WM_KEYDOWN && GetKeyState(VK_CONTROL) < 0) {
    int step = 0;
    if (msg.wParam == VK_TAB) step = GetKeyState(VK_SHIFT) < 0 ? -1 : 1;
    else if (msg.wParam == VK_NEXT) step = 1;
    else if (msg.wParam == VK_PRIOR) step = -1;
    if (step == 0) return false;
    ShowTab((shownTab_ + step + kSettingsTabs) % kSettingsTabs);
    return true;
  }
  const auto key = static_cast<char>(std::tolower(static_cast<unsigned char>(msg.wParam)));
  if (msg.message == WM_SYSCHAR) return AccessKey(key);
  if (msg.message != WM_CHAR) return false;
  const HWND focus = GetFocus();
  const auto code = focus ? SendMessageA(focus, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg)) : 0;
  return !(code & (DLGC_WANTCHARS | DLGC_WANTALLKEYS | DLGC_HASSETSEL)) && AccessKey(key);
}

// The five tabs, then the shown page's buttons, then the dialog's, in tab
// order; the shared keys move the focus in turn (see ResolveAccessKey).
bool SettingsWindow::AccessKey(char key) {
  std::vector<KeyedControl> keyed;
  std::vector<HWND> controls;
  for (int i = 0; i < kSettingsTabs; ++i) {
    keyed.push_back({AccessKeyOf(TabCaption(i)), true});
    controls.push_back(nullptr);
  }
  std::vector<HWND> buttons = shownTab_ == kBlockListsTab
                                  ? listsPage_.Buttons()
                                  : std::vector<HWND>{families_[static_cast<size_t>(shownTab_)].add,
                                                      families_[static_cast<size_t>(shownTab_)].remove};
  const int pageButtons = static_cast<int>(buttons.size());
  for (HWND b : {ok_, cancel_, apply_}) buttons.push_back(b);
  for (HWND b : buttons) {
    keyed.push_back({AccessKeyOf(CaptionOf(b)), IsWindowEnabled(b) != FALSE});
    controls.push_back(b);
  }
  const HWND focus = GetFocus();
  int focused = focus == tab_ ? shownTab_ : -1;
  for (size_t i = 0; i < controls.size(); ++i)
    if (controls[i] && controls[i] == focus) focused = static_cast<int>(i);
  if (focused < 0 && IsChild(PageOf(shownTab_), focus)) focused = kSettingsTabs - 1;  // before the page's buttons
  if (focused < 0 && focus && focus != tab_) focused = kSettingsTabs + pageButtons - 1;  // Check1: before OK
  const AccessKeyTarget target = ResolveAccessKey(keyed, focused, key);
  if (target.index < 0) return false;
  if (target.index < kSettingsTabs) {
    ShowTab(target.index);
    SendMessageA(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(tab_), TRUE);
    return true;
  }
  HWND button = controls[static_cast<size_t>(target.index)];
  SendMessageA(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(button), TRUE);
  if (target.press) SendMessageA(button, BM_CLICK, 0, 0);
  return true;
}

}  // namespace nv
