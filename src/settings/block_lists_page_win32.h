#pragma once
#include <windows.h>

#include <vector>

#include "settings/block_lists_tab.h"

namespace nv {

// The "Block &Lists" tab's page: the subscriptions with "Update now" and the
// selected one's state, and the allow list, each laid out as the other tabs'
// lists (list, entry box, "&Add", "&Remove", count). The lists are virtual
// list-views drawn from the core's lists. It translates; the core decides.
class BlockListsPage : public BlockListsTabView {
 public:
  void Build(HWND page, int pageHeight96);
  void Attach(BlockListsTab& core) { core_ = &core; }
  HWND Page() const { return page_; }
  // The page's buttons in tab order, for the dialog's access keys.
  std::vector<HWND> Buttons() const;
  // True when the message was one of the page's controls'.
  bool OnCommand(HWND control, int code);
  bool OnNotify(const NMHDR& n, LRESULT& result);

  void ShowListsEntry(BlockListsList list, const std::string& text) override;
  void ShowListsRows(BlockListsList list, int count, int selected) override;
  void SetListsAddEnabled(BlockListsList list, bool enabled) override;
  void ShowListsCount(BlockListsList list, const std::string& text) override;
  void ShowListsState(const std::string& text) override;

 private:
  struct Side {
    HWND list, entry, add, remove, count;
  };
  static LRESULT CALLBACK EntryProc(HWND h, UINT m, WPARAM w, LPARAM l, UINT_PTR id, DWORD_PTR self);
  void BuildSide(int n, const char* title, int top, int listHeight, int countTop);
  int SideOf(HWND control) const;
  Side& At(BlockListsList list) { return sides_[list == BlockListsList::allowed]; }

  HWND page_ = nullptr, update_ = nullptr, state_ = nullptr;
  Side sides_[2]{};
  BlockListsTab* core_ = nullptr;
  bool quiet_ = false;  // the core is setting a control: nothing goes back
};

}  // namespace nv
