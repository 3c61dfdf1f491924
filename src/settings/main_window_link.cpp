#include "settings/main_window_link.h"

#include "app/frm_main.h"

namespace nv {

bool FrmMainLink::MenuChecked(MenuItem item) {
  switch (item) {
    case MenuItem::BlockAds: return main_.mnublockads;
    case MenuItem::KillCookies: return main_.mnukillcookies;
    case MenuItem::BlockPopups: return main_.mnublockpopups;
  }
  return false;
}

void FrmMainLink::blockads(bool on) { main_.hosts.blockads(on); }
void FrmMainLink::KillCookies(bool on) { main_.cookies.KillCookies(on); }
void FrmMainLink::killpopups(bool on) { main_.popups.killpopups(on); }
std::string FrmMainLink::CookieStoresLine() { return main_.cookies.stores.BrowsersLine(); }
BlockLists* FrmMainLink::RunningLists() { return &main_.blockLists; }
void FrmMainLink::ReloadBlockLists() { main_.blockLists.Reload(); }

}  // namespace nv
