// The settings dialog's window procedure: the user's actions go to the core
// as its handlers; what the core shows comes back through SettingsView.
#include "settings/frm_settings_win32.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "ui/controls_win32.h"
#include "app/list_find_win32.h"
#include "ui/modeless_win32.h"
#include "settings/settings_ids.h"
#include "settings/settings_texts.h"
#include "platform/window_barrier.h"

namespace nv {

namespace {
constexpr COLORREF kBlue = RGB(66, 156, 218);
constexpr COLORREF kTitleGrey = RGB(192, 192, 192);
constexpr COLORREF kWarningRed = RGB(128, 0, 0);
constexpr COLORREF kHintYellow = RGB(255, 255, 0);
constexpr UINT kDestroyLater = WM_APP + 1;
constexpr UINT kShowSelectionAgain = WM_APP + 2;

SettingsList ListOf(int family) { return static_cast<SettingsList>(family); }

std::string TextOf(HWND control) {
  std::string text(static_cast<size_t>(GetWindowTextLengthA(control)) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
  return text;
}
}  // namespace

SettingsWindow::SettingsWindow(HINSTANCE inst, Services& services, StartupRegistration& startup,
                               MainWindowLink& main, HWND notify, UINT closedMessage)
    : inst_(inst),
      notify_(notify),
      closedMessage_(closedMessage),
      blue_(CreateSolidBrush(kBlue)),
      yellow_(CreateSolidBrush(kHintYellow)),
      white_(CreateSolidBrush(RGB(255, 255, 255))),
      confirm_(inst),
      core_(services, startup, main, *this, confirm_) {
  listsPage_.Attach(core_.Lists());
}

SettingsWindow::~SettingsWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
  if (redirectTip_) DestroyWindow(redirectTip_);
  for (HGDIOBJ o : {static_cast<HGDIOBJ>(blue_), static_cast<HGDIOBJ>(yellow_), static_cast<HGDIOBJ>(white_),
                    static_cast<HGDIOBJ>(titleFont_)})
    if (o) DeleteObject(o);
}

// The opening runs while the dialog is still hidden: a stored "delete all
// cookies" brings up its confirmation before the dialog shows.
void SettingsWindow::Open() {
  hwnd_ = ui::CreateEmptyDialog(inst_, nullptr, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN,
                                WS_EX_APPWINDOW | WS_EX_CONTROLPARENT, settings_text::kCaption, DialogProc,
                                reinterpret_cast<LPARAM>(this));
  Build();
  confirm_.Attach(core_.Confirm(), hwnd_);
  ui::RegisterModeless(hwnd_, [this](MSG& msg) { return FilterKeys(msg); });
  core_.Form_Load();
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  SetForegroundWindow(hwnd_);
  if (core_.Confirm().Showing()) confirm_.BringForward();
}

void SettingsWindow::BringForward() {
  if (!hwnd_) return;
  if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
  SetForegroundWindow(hwnd_);
}

void SettingsWindow::Unload() {
  if (!hwnd_ || closing_) return;
  closing_ = true;
  ShowWindow(hwnd_, SW_HIDE);
  PostMessageA(hwnd_, kDestroyLater, 0, 0);
}

void SettingsWindow::CopyMainIcon() {
  SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(ui::ProgramIcon(32)));
  SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(ui::ProgramIcon(16)));
}

void SettingsWindow::FillColours(const char* const* names, int count) {
  SendMessageA(colours_, CB_RESETCONTENT, 0, 0);
  for (int i = 0; i < count; ++i) SendMessageA(colours_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(names[i]));
}

// The line holds a dash that not every ANSI code page has.
void SettingsWindow::ShowCookieStores(const std::string& utf8Line) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8Line.c_str(), -1, nullptr, 0);
  std::wstring wide(static_cast<size_t>(n > 0 ? n : 1), L'\0');
  if (n > 0) MultiByteToWideChar(CP_UTF8, 0, utf8Line.c_str(), -1, wide.data(), n);
  SetWindowTextW(storesLine_, wide.c_str());
}

void SettingsWindow::ShowColour(int index) { SendMessageA(colours_, CB_SETCURSEL, static_cast<WPARAM>(index), 0); }

void SettingsWindow::ShowRedirect(int index) {
  SendMessageA(redirect_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void SettingsWindow::SetColoursEnabled(bool enabled) { EnableWindow(colours_, enabled); }

void SettingsWindow::ShowCheck(SettingsCheck check, bool checked) {
  SendMessageA(checks_[static_cast<size_t>(check)], BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void SettingsWindow::ShowEntry(SettingsList list, const std::string& text) {
  quiet_ = true;
  SetWindowTextA(families_[static_cast<size_t>(list)].entry, text.c_str());
  quiet_ = false;
}

void SettingsWindow::ShowCount(SettingsList list, const std::string& text) {
  SetWindowTextA(families_[static_cast<size_t>(list)].count, text.c_str());
}

// Only the rows on screen are asked for (LVN_GETDISPINFO), whatever the count.
void SettingsWindow::ShowList(SettingsList list, int count, int selected) {
  HWND view = families_[static_cast<size_t>(list)].list;
  quiet_ = true;
  SendMessageA(view, LVM_SETITEMCOUNT, static_cast<WPARAM>(count), LVSICF_NOSCROLL);
  LVITEMA state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(view, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
  if (selected >= 0) {
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(view, LVM_SETITEMSTATE, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(&state));
    SendMessageA(view, LVM_ENSUREVISIBLE, static_cast<WPARAM>(selected), FALSE);
  }
  InvalidateRect(view, nullptr, FALSE);
  quiet_ = false;
}

void SettingsWindow::SetListEnabled(SettingsList list, bool enabled) {
  EnableWindow(families_[static_cast<size_t>(list)].list, enabled);
}

// A button that loses its enabled state while it has the focus hands the
// focus on, so the keyboard is never left on a dead control.
void SettingsWindow::MoveFocusOffIfDisabled(HWND control, HWND next) {
  if (GetFocus() == control && !IsWindowEnabled(control))
    SendMessageA(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);
}

void SettingsWindow::SetAddEnabled(SettingsList list, bool enabled) {
  const Family& f = families_[static_cast<size_t>(list)];
  EnableWindow(f.add, enabled);
  MoveFocusOffIfDisabled(f.add, f.entry);
}

void SettingsWindow::SetApplyEnabled(bool enabled) {
  EnableWindow(apply_, enabled);
  MoveFocusOffIfDisabled(apply_, ok_);
}

HWND SettingsWindow::PageOf(int tab) const {
  return tab < kSettingsLists ? families_[static_cast<size_t>(tab)].page : listsPage_.Page();
}

const char* SettingsWindow::TabCaption(int tab) {
  return tab < kSettingsLists ? settings_text::kFamilies[tab].tab : kBlockListsTabCaption;
}

int SettingsWindow::FamilyOf(HWND control) const {
  for (int i = 0; i < kSettingsLists; ++i) {
    const Family& f = families_[static_cast<size_t>(i)];
    if (control == f.list || control == f.entry || control == f.add || control == f.remove) return i;
  }
  return -1;
}

void SettingsWindow::OnCommand(int id, int code, HWND control) {
  if (listsPage_.OnCommand(control, code)) return;
  const int family = FamilyOf(control);
  if (family >= 0 && code == EN_CHANGE && control == families_[static_cast<size_t>(family)].entry) {
    if (!quiet_) core_.txt_Change(ListOf(family), TextOf(control));
    return;
  }
  const bool list = id == settings_id::kColours || id == settings_id::kRedirect;
  if (code != BN_CLICKED && !(list && code == CBN_SELCHANGE)) return;
  if (family >= 0) {
    if (control == families_[static_cast<size_t>(family)].add) core_.cmdAdd_Click(ListOf(family));
    else if (control == families_[static_cast<size_t>(family)].remove) core_.cmdRemove_Click(ListOf(family));
    return;
  }
  for (int c = 0; c < kSettingsChecks; ++c)
    if (control == checks_[static_cast<size_t>(c)]) {
      core_.chk_Click(static_cast<SettingsCheck>(c), SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED);
      return;
    }
  switch (id) {
    case settings_id::kColours:
      core_.cbocols_Click(static_cast<int>(SendMessageA(colours_, CB_GETCURSEL, 0, 0)));
      break;
    case settings_id::kRedirect:
      core_.cboredirect_Click(static_cast<int>(SendMessageA(redirect_, CB_GETCURSEL, 0, 0)));
      break;
    case settings_id::kOk: core_.cmdOk_Click(); break;
    case settings_id::kCancel: core_.cmdcancel_Click(); break;
    case settings_id::kApply: core_.cmdapply_Click(); break;
  }
}

// A click on a row selects it; a click beside the rows would leave the
// list without a selection, which a list box never does: the core's
// selection is shown again.
void SettingsWindow::OnListChanged(int family, const NMLISTVIEW& change) {
  if (quiet_ || !(change.uChanged & LVIF_STATE)) return;
  const SettingsList list = ListOf(family);
  if ((change.uNewState & LVIS_SELECTED) && !(change.uOldState & LVIS_SELECTED) && change.iItem >= 0)
    core_.lst_Click(list, change.iItem);
  else if (!(change.uNewState & LVIS_SELECTED) && (change.uOldState & LVIS_SELECTED))
    PostMessageA(hwnd_, kShowSelectionAgain, static_cast<WPARAM>(family), 0);
}

void SettingsWindow::OnNotify(const NMHDR& n) {
  if (n.hwndFrom == tab_ && n.code == TCN_SELCHANGE) {
    ShowTab(static_cast<int>(SendMessageA(tab_, TCM_GETCURSEL, 0, 0)));
    return;
  }
  if (LRESULT answer = 0; listsPage_.OnNotify(n, answer)) {
    SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, answer);
    return;
  }
  const int family = FamilyOf(n.hwndFrom);
  if (family < 0) return;
  LRESULT found = -1;
  if (ui::AnswerFindItem(n, core_.List(ListOf(family)), found)) {
    SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, found);
    return;
  }
  if (n.code == LVN_GETDISPINFOA) {
    LVITEMA& item = reinterpret_cast<NMLVDISPINFOA&>(const_cast<NMHDR&>(n)).item;
    const ListBox& list = core_.List(ListOf(family));
    if ((item.mask & LVIF_TEXT) && item.iItem >= 0 && item.iItem < list.Count() && item.cchTextMax > 0)
      lstrcpynA(item.pszText, list[item.iItem].c_str(), item.cchTextMax);
  } else if (n.code == LVN_ITEMCHANGED) {
    OnListChanged(family, reinterpret_cast<const NMLISTVIEW&>(n));
  }
}

HBRUSH SettingsWindow::OnColour(HDC dc, HWND control) {
  if (control == colours_ || control == redirect_) return nullptr;
  SetBkMode(dc, TRANSPARENT);
  if (control == title_) SetTextColor(dc, kTitleGrey);
  if (control == checks_[static_cast<size_t>(SettingsCheck::chkallcookies)] || control == notes_[0])
    SetTextColor(dc, kWarningRed);
  if (control == hint_) return yellow_;
  if (control == checks_[static_cast<size_t>(SettingsCheck::Check1)]) return white_;
  return blue_;
}

INT_PTR SettingsWindow::Handle(UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_COMMAND:
      OnCommand(LOWORD(w), HIWORD(w), reinterpret_cast<HWND>(l));
      return TRUE;
    case WM_NOTIFY:
      OnNotify(*reinterpret_cast<const NMHDR*>(l));
      return TRUE;
    case kShowSelectionAgain: {
      const auto list = ListOf(static_cast<int>(w));
      if (SendMessageA(families_[w].list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED) < 0)
        ShowList(list, core_.List(list).Count(), core_.List(list).Selected());
      return TRUE;
    }
    case WM_CTLCOLORDLG:
      return reinterpret_cast<INT_PTR>(blue_);
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return reinterpret_cast<INT_PTR>(OnColour(reinterpret_cast<HDC>(w), reinterpret_cast<HWND>(l)));
    case WM_CLOSE:
      core_.cmdcancel_Click();
      return TRUE;
    // A handler may be waiting in a message box (Apply's error, a failed
    // rewrite of HOSTS) while the exit sequence unloads the dialog: the
    // box's loop brings this message, and destroying now would free the
    // dialog under that handler. It goes once the handler has returned.
    case kDestroyLater:
      if (depth_ > 1) destroyPending_ = true;
      else DestroyWindow(hwnd_);
      return TRUE;
    case WM_DESTROY:
      ui::UnregisterModeless(hwnd_);
      hwnd_ = nullptr;
      PostMessageA(notify_, closedMessage_, 0, 0);
      return TRUE;
  }
  return FALSE;
}

INT_PTR CALLBACK SettingsWindow::DialogProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_INITDIALOG) {
    SetWindowLongPtrA(h, DWLP_USER, l);
    return FALSE;
  }
  auto* self = reinterpret_cast<SettingsWindow*>(GetWindowLongPtrA(h, DWLP_USER));
  if (!self || !self->hwnd_) return FALSE;
  ++self->depth_;
  const INT_PTR handled = CallBarrier<INT_PTR>("settings dialog", [&] { return self->Handle(m, w, l); },
                                               [] { return INT_PTR{FALSE}; });
  if (--self->depth_ == 0 && self->destroyPending_ && self->hwnd_) {
    self->destroyPending_ = false;
    DestroyWindow(h);
  }
  return handled;
}

}  // namespace nv
