#include "settings/block_lists_page_win32.h"

#include <commctrl.h>

#include <string>

#include "ui/controls_win32.h"
#include "ui/list_find_win32.h"
#include "settings/block_lists_ids.h"
#include "settings/settings_texts.h"

namespace nv {

namespace {
namespace id = lists_id;
namespace text = settings_text;

BlockListsList ListOf(int side) { return side ? BlockListsList::allowed : BlockListsList::subscriptions; }

HWND Control(HWND parent, const char* cls, const char* caption, DWORD style, int x, int y, int w, int h, int cid) {
  return ui::Child(parent, cls, caption, style, ui::Scaled(x), ui::Scaled(y), ui::Scaled(w), ui::Scaled(h), cid);
}

std::string TextOf(HWND control) {
  std::string t(static_cast<size_t>(GetWindowTextLengthA(control)) + 1, '\0');
  t.resize(static_cast<size_t>(GetWindowTextA(control, t.data(), static_cast<int>(t.size()))));
  return t;
}

}  // namespace

// Two lists one above the other: the subscriptions with "Update now" and
// the selected one's state under them, then the allow list.
void BlockListsPage::Build(HWND page, int pageHeight96) {
  page_ = page;
  BuildSide(0, lists_text::kSubscriptionsTitle, 8, 96, 122);
  update_ = Control(page, "BUTTON", lists_text::kUpdateNow, BS_PUSHBUTTON | WS_TABSTOP, 304, 88, 146, 26,
                    id::kUpdateNow);
  state_ = Control(page, "STATIC", "", SS_LEFT | SS_NOPREFIX, 10, 126, 284, 42, id::kState);
  const int allowTop = 172;
  BuildSide(1, lists_text::kAllowTitle, allowTop, pageHeight96 - allowTop - 28, pageHeight96 - 30);
}

void BlockListsPage::BuildSide(int n, const char* title, int top, int listHeight, int countTop) {
  Side& s = sides_[n];
  Control(page_, "STATIC", title, SS_LEFT | SS_NOPREFIX, 10, top, 284, 16, 0);
  s.list = Control(page_, WC_LISTVIEWA, title,
                   WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_OWNERDATA | LVS_SINGLESEL |
                       LVS_SHOWSELALWAYS,
                   10, top + 18, 284, listHeight, id::List(n));
  SendMessageA(s.list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  LVCOLUMNA column{};
  column.mask = LVCF_WIDTH;
  column.cx = ui::Scaled(520);  // addresses are long: the list scrolls sideways
  SendMessageA(s.list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
  Control(page_, "STATIC", text::kEntryLabel, SS_LEFT, 304, top, 146, 16, 0);
  s.entry = Control(page_, "EDIT", "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 304, top + 18, 146, 22, id::Entry(n));
  SetWindowSubclass(s.entry, EntryProc, 1, reinterpret_cast<DWORD_PTR>(this));
  s.add = Control(page_, "BUTTON", text::kAdd, BS_PUSHBUTTON | WS_TABSTOP | WS_DISABLED, 304, top + 48, 70, 26,
                  id::Add(n));
  s.remove = Control(page_, "BUTTON", text::kRemove, BS_PUSHBUTTON | WS_TABSTOP, 380, top + 48, 70, 26, id::Remove(n));
  Control(page_, "STATIC", text::kTotal, SS_LEFT, 304, countTop, 80, 16, 0);
  s.count = Control(page_, "STATIC", text::kCountUnloaded, SS_LEFT, 386, countTop, 64, 16, id::Count(n));
}

std::vector<HWND> BlockListsPage::Buttons() const {
  return {sides_[0].add, sides_[0].remove, update_, sides_[1].add, sides_[1].remove};
}

int BlockListsPage::SideOf(HWND control) const {
  for (int n = 0; n < 2; ++n) {
    const Side& s = sides_[n];
    if (control == s.list || control == s.entry || control == s.add || control == s.remove) return n;
  }
  return -1;
}

bool BlockListsPage::OnCommand(HWND control, int code) {
  if (!core_) return false;
  if (control == update_) {
    if (code == BN_CLICKED) core_->UpdateNow();
    return true;
  }
  const int n = SideOf(control);
  if (n < 0) return false;
  const Side& s = sides_[n];
  if (control == s.entry && code == EN_CHANGE && !quiet_) core_->EntryChanged(ListOf(n), TextOf(control));
  if (code == BN_CLICKED && control == s.add) core_->Add(ListOf(n));
  if (code == BN_CLICKED && control == s.remove) core_->Remove(ListOf(n));
  return true;
}

bool BlockListsPage::OnNotify(const NMHDR& n, LRESULT& result) {
  const int side = SideOf(n.hwndFrom);
  if (side < 0 || !core_) return false;
  const ListBox& list = core_->List(ListOf(side));
  if (ui::AnswerFindItem(n, list, result)) return true;
  if (n.code == LVN_GETDISPINFOA) {
    LVITEMA& item = reinterpret_cast<NMLVDISPINFOA&>(const_cast<NMHDR&>(n)).item;
    if ((item.mask & LVIF_TEXT) && item.iItem >= 0 && item.iItem < list.Count() && item.cchTextMax > 0)
      lstrcpynA(item.pszText, list[item.iItem].c_str(), item.cchTextMax);
  } else if (n.code == LVN_ITEMCHANGED && !quiet_) {
    const auto& change = reinterpret_cast<const NMLISTVIEW&>(n);
    if ((change.uChanged & LVIF_STATE) && (change.uNewState & LVIS_SELECTED) && !(change.uOldState & LVIS_SELECTED))
      core_->Click(ListOf(side), change.iItem);
  }
  result = 0;
  return false;  // the dialog's default answer
}

// Enter in an entry box adds its text, as on the other tabs.
LRESULT CALLBACK BlockListsPage::EntryProc(HWND h, UINT m, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR self) {
  auto* page = reinterpret_cast<BlockListsPage*>(self);
  const auto* msg = reinterpret_cast<const MSG*>(l);
  if (m == WM_GETDLGCODE && msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN)
    return DLGC_WANTALLKEYS | DefSubclassProc(h, m, w, l);
  if (m == WM_KEYDOWN && w == VK_RETURN) {
    const int n = page->SideOf(h);
    if (page->core_ && n >= 0 && page->core_->AddEnabled(ListOf(n))) page->core_->Add(ListOf(n));
    return 0;
  }
  if (m == WM_CHAR && w == '\r') return 0;
  return DefSubclassProc(h, m, w, l);
}

void BlockListsPage::ShowListsEntry(BlockListsList list, const std::string& t) {
  quiet_ = true;
  SetWindowTextA(At(list).entry, t.c_str());
  quiet_ = false;
}

void BlockListsPage::ShowListsRows(BlockListsList list, int count, int selected) {
  HWND view = At(list).list;
  quiet_ = true;
  ui::ShowOwnerDataRows(view, count, selected);
  quiet_ = false;
}

void BlockListsPage::SetListsAddEnabled(BlockListsList list, bool enabled) {
  const Side& s = At(list);
  EnableWindow(s.add, enabled);
  if (GetFocus() == s.add && !enabled) SetFocus(s.entry);
}

void BlockListsPage::ShowListsCount(BlockListsList list, const std::string& t) {
  SetWindowTextA(At(list).count, t.c_str());
}

void BlockListsPage::ShowListsState(const std::string& t) {
  if (state_) SetWindowTextA(state_, t.c_str());
}

}  // namespace nv
