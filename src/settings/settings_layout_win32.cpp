// The settings dialog's controls and where they sit, laid out for 96 dpi
// and scaled to the screen's.
#include <windows.h>
#include <commctrl.h>
#include <uxtheme.h>

#include "ui/controls_win32.h"
#include "ui/modeless_win32.h"
#include "settings/frm_settings_win32.h"
#include "settings/redirect_choices.h"
#include "settings/settings_ids.h"
#include "settings/settings_texts.h"

namespace nv {

namespace {
constexpr int kClientW = 480, kClientH = 458;
constexpr int kTabX = 10, kTabY = 52, kTabW = 460, kPagesBottom = 382;
constexpr char kPageClass[] = "NorvaneSettingsPage";
constexpr int kStoresLineH = 30;  // two lines of the dialog font
namespace id = settings_id;
namespace text = settings_text;

int At96(int px) { return MulDiv(px, 96, ui::ScreenDpi()); }
}  // namespace

HWND SettingsWindow::Control(HWND parent, const char* cls, const char* caption, DWORD style, int x, int y, int w,
                             int h, int controlId) {
  return ui::Child(parent, cls, caption, style, ui::Scaled(x), ui::Scaled(y), ui::Scaled(w), ui::Scaled(h), controlId);
}

// Check boxes draw in the classic way, so that their colours show under a
// visual style too.
HWND SettingsWindow::Check(HWND parent, const char* caption, int x, int y, int w, int controlId) {
  HWND box = Control(parent, "BUTTON", caption, BS_AUTOCHECKBOX | WS_TABSTOP, x, y, w, 20, controlId);
  SetWindowTheme(box, L"", L"");
  return box;
}

void SettingsWindow::AddTip(HWND control, const char* tip, HWND tooltip) {
  TTTOOLINFOA info{};
  info.cbSize = sizeof info;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = hwnd_;
  info.uId = reinterpret_cast<UINT_PTR>(control);
  info.lpszText = const_cast<char*>(tip);
  SendMessageA(tooltip ? tooltip : tip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

void SettingsWindow::Build() {
  const auto style = static_cast<DWORD>(GetWindowLongPtrA(hwnd_, GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(GetWindowLongPtrA(hwnd_, GWL_EXSTYLE));
  const SIZE outer = ui::OuterSize(style, exStyle, ui::Scaled(kClientW), ui::Scaled(kClientH));
  SetWindowPos(hwnd_, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ui::CenterOnScreen(hwnd_);
  tip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0,
                         0, hwnd_, nullptr, inst_, nullptr);
  SendMessageA(tip_, TTM_SETMAXTIPWIDTH, 0, ui::Scaled(320));
  BuildTitle();
  BuildTabs();
  BuildButtons();
  ShowTab(text::kFirstTab);
  SendMessageA(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(tab_), TRUE);
}

void SettingsWindow::BuildTitle() {
  HWND icon = Control(hwnd_, "STATIC", "", SS_ICON, 12, 10, 32, 32, 0);
  SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(ui::ProgramIcon(ui::Scaled(32))), 0);
  title_ = Control(hwnd_, "STATIC", text::kTitle, SS_LEFT | SS_NOPREFIX, 54, 13, 410, 30, id::kTitle);
  titleFont_ = CreateFontA(-MulDiv(15, ui::ScreenDpi(), 72), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS,
                           "Verdana");
  SendMessageA(title_, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_), FALSE);
}

// The tab strip holds only the tabs; each tab's page is a window of its own
// below it, so nothing overlaps.
void SettingsWindow::BuildTabs() {
  tab_ = Control(hwnd_, WC_TABCONTROLA, "", WS_TABSTOP | TCS_FOCUSONBUTTONDOWN, kTabX, kTabY, kTabW, 24, id::kTab);
  SetWindowTheme(tab_, L"", L"");
  for (int i = 0; i < kSettingsTabs; ++i) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(TabCaption(i));
    SendMessageA(tab_, TCM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
  RECT first{};
  SendMessageA(tab_, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
  const int stripH = first.bottom + 2;
  SetWindowPos(tab_, nullptr, 0, 0, ui::Scaled(kTabW), stripH, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowSubclass(tab_, TabProc, 1, reinterpret_cast<DWORD_PTR>(this));
  const int top = ui::Scaled(kTabY) + stripH;
  for (int i = 0; i < kSettingsLists; ++i)
    families_[static_cast<size_t>(i)].page = BuildPage(i, top, ui::Scaled(kPagesBottom) - top);
  BuildPage(kBlockListsTab, top, ui::Scaled(kPagesBottom) - top);
}

HWND SettingsWindow::BuildPage(int family, int top, int height) {
  static const bool registered = [inst = inst_] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = PageProc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = CreateSolidBrush(RGB(66, 156, 218));
    wc.lpszClassName = kPageClass;
    return RegisterClassA(&wc) != 0;
  }();
  (void)registered;
  HWND page = CreateWindowExA(WS_EX_CONTROLPARENT, kPageClass, TabCaption(family), WS_CHILD,
                              ui::Scaled(kTabX), top, ui::Scaled(kTabW), height, hwnd_,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id::Page(family))), inst_, nullptr);
  if (family == kBlockListsTab) {
    listsPage_.Build(page, At96(height));
    return page;
  }
  BuildOptions(family, page);
  BuildFamily(family, page, At96(height));
  return page;
}

void SettingsWindow::BuildOptions(int family, HWND page) {
  auto check = [this](SettingsCheck c) -> HWND& { return checks_[static_cast<size_t>(c)]; };
  switch (static_cast<SettingsList>(family)) {
    case SettingsList::lstadservers:
      Control(page, "STATIC", text::kReplaceAds, SS_LEFT, 10, 12, 104, 18, 0);
      colours_ = Control(page, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 116, 8, 110, 160,
                         id::kColours);
      AddTip(colours_, text::kColourTip);
      Control(page, "STATIC", text::kImage, SS_LEFT, 232, 12, 60, 18, 0);
      BuildRedirect(page);
      break;
    case SettingsList::lstcookies:
      check(SettingsCheck::chkallcookies) = Check(page, text::kAllCookies, 10, 6, 440, id::kAllCookies);
      AddTip(check(SettingsCheck::chkallcookies), text::kAllCookiesTip);
      hint_ = Control(page, "STATIC", text::kCookieHint, SS_LEFT | SS_NOTIFY | SS_NOPREFIX, 10, 30, 440, 30,
                      id::kCookieHint);
      AddTip(hint_, text::kCookieHintTip);
      break;
    case SettingsList::lstdns:
      check(SettingsCheck::chkusedns) = Check(page, text::kUseDns, 10, 8, 300, id::kUseDns);
      break;
    case SettingsList::lstpopups:
      check(SettingsCheck::chkblockallpops) = Check(page, text::kBlockAllPops, 10, 8, 300, id::kBlockAllPops);
      notes_[0] = Control(page, "STATIC", text::kPopsNote, SS_LEFT | SS_NOPREFIX, 10, 32, 440, 18, 0);
      break;
  }
}

// Beside the colour: where blocked names point, which decides whether the
// colour matters at all.
void SettingsWindow::BuildRedirect(HWND page) {
  HWND label = Control(page, "STATIC", redirect_text::kLabel, SS_LEFT, 298, 12, 72, 18, 0);
  redirect_ = Control(page, "COMBOBOX", redirect_text::kLabel, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 372, 8,
                      78, 80, settings_id::kRedirect);
  for (const char* choice : kRedirectChoices)
    SendMessageA(redirect_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice));
  // A tooltip window of its own, owned by none: the dialog's own tooltip
  // keeps exactly the tips of the original controls.
  redirectTip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0,
                                 0, 0, 0, nullptr, nullptr, inst_, nullptr);
  SendMessageA(redirectTip_, TTM_SETMAXTIPWIDTH, 0, ui::Scaled(320));
  SendMessageA(redirectTip_, TTM_SETDELAYTIME, TTDT_AUTOPOP, 30000);
  AddTip(label, redirect_text::kTip, redirectTip_);
  AddTip(redirect_, redirect_text::kTip, redirectTip_);
}

void SettingsWindow::BuildFamily(int family, HWND page, int pageHeight96) {
  const settings_text::Family& t = text::kFamilies[family];
  Family& f = families_[static_cast<size_t>(family)];
  // The cookie sites' list leaves room below for the line naming the browsers.
  const bool cookies = static_cast<SettingsList>(family) == SettingsList::lstcookies;
  const int height96 = pageHeight96 - (cookies ? kStoresLineH : 0);
  if (cookies)
    storesLine_ = Control(page, "STATIC", "", SS_LEFT | SS_NOPREFIX, 10, height96 - 6, 440, kStoresLineH,
                          id::kCookieStores);
  Control(page, "STATIC", t.title, SS_LEFT | SS_NOPREFIX, 10, 66, 280, 16, 0);
  f.list = Control(page, WC_LISTVIEWA, t.title,
                   WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_OWNERDATA | LVS_SINGLESEL |
                       LVS_SHOWSELALWAYS,
                   10, 84, 280, height96 - 94, id::List(family));
  SendMessageA(f.list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  LVCOLUMNA column{};
  column.mask = LVCF_WIDTH;
  column.cx = ui::Scaled(280) - GetSystemMetrics(SM_CXVSCROLL) - 4;
  SendMessageA(f.list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
  if (t.tooltip) AddTip(f.list, t.tooltip);
  Control(page, "STATIC", text::kEntryLabel, SS_LEFT, 304, 84, 146, 16, 0);
  f.entry = Control(page, "EDIT", "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 304, 102, 146, 22, id::Entry(family));
  SetWindowSubclass(f.entry, EntryProc, 1, reinterpret_cast<DWORD_PTR>(this));
  f.add = Control(page, "BUTTON", text::kAdd, BS_PUSHBUTTON | WS_TABSTOP | WS_DISABLED, 304, 132, 70, 26,
                  id::Add(family));
  f.remove = Control(page, "BUTTON", text::kRemove, BS_PUSHBUTTON | WS_TABSTOP, 380, 132, 70, 26, id::Remove(family));
  Control(page, "STATIC", text::kTotal, SS_LEFT, 304, height96 - 30, 80, 16, 0);
  f.count = Control(page, "STATIC", text::kCountUnloaded, SS_LEFT, 386, height96 - 30, 64, 16, id::Count(family));
}

// Check1 sits on the dialog itself, its white background as wide as its text.
void SettingsWindow::BuildButtons() {
  HDC dc = GetDC(hwnd_);
  HGDIOBJ old = SelectObject(dc, ui::DialogFont());
  SIZE extent{};
  GetTextExtentPoint32A(dc, text::kStartWithWindows, lstrlenA(text::kStartWithWindows), &extent);
  SelectObject(dc, old);
  ReleaseDC(hwnd_, dc);
  checks_[static_cast<size_t>(SettingsCheck::Check1)] =
      Check(hwnd_, text::kStartWithWindows, 12, 392, At96(extent.cx) + 26, id::kCheck1);
  ok_ = Control(hwnd_, "BUTTON", text::kOk, BS_DEFPUSHBUTTON | WS_TABSTOP, 233, 420, 75, 26, id::kOk);
  cancel_ = Control(hwnd_, "BUTTON", text::kCancel, BS_PUSHBUTTON | WS_TABSTOP, 314, 420, 75, 26, id::kCancel);
  apply_ = Control(hwnd_, "BUTTON", text::kApply, BS_PUSHBUTTON | WS_TABSTOP, 395, 420, 75, 26, id::kApply);
  SendMessageA(hwnd_, DM_SETDEFID, id::kOk, 0);
}

}  // namespace nv
