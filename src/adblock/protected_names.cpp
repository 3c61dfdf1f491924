#include "adblock/protected_names.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

namespace nv {

namespace {

// Each entry covers its subdomains too, so entries under microsoft.com are
// redundant; they stay so that the set can be checked against its sources.
constexpr std::string_view kProtected[] = {
    // Named by Defender's HostsFileHijack detection (reported August 2020).
    "microsoft.com", "www.microsoft.com", "telemetry.microsoft.com",
    "wns.notify.windows.com.akadns.net", "v10-win.vortex.data.microsoft.com.akadns.net",
    "us.vortex-win.data.microsoft.com", "us-v10.events.data.microsoft.com", "urs.microsoft.com.nsatc.net",
    "watson.telemetry.microsoft.com", "watson.ppe.telemetry.microsoft.com", "vsgallery.com", "watson.live.com",
    "watson.microsoft.com", "telemetry.remoteapp.windowsazure.com", "telemetry.urs.microsoft.com",
    // Windows Update and Microsoft Update.
    "update.microsoft.com", "windowsupdate.microsoft.com", "delivery.mp.microsoft.com", "windowsupdate.com",
    "download.windowsupdate.com", "ctldl.windowsupdate.com", "wustat.windows.com", "adl.windows.com",
    "download.microsoft.com", "go.microsoft.com",
    // Defender's cloud protection and definition updates.
    "wdcp.microsoft.com", "wdcpalt.microsoft.com", "wd.microsoft.com", "definitionupdates.microsoft.com",
    "vortex-win.data.microsoft.com", "settings-win.data.microsoft.com", "crl.microsoft.com",
    // SmartScreen.
    "smartscreen.microsoft.com", "smartscreen-prod.microsoft.com", "checkappexec.microsoft.com",
    "urs.microsoft.com"};

bool Blank(char c) { return c == ' ' || c == '\t'; }

// The last two labels: every entry has two or more, so a name can only be
// covered by an entry that ends in the same two.
std::string_view LastTwoLabels(std::string_view name) {
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot == 0) return name;
  const size_t before = name.rfind('.', dot - 1);
  return before == std::string_view::npos ? name : name.substr(before + 1);
}

// Asked for every subscribed name at every HOSTS write: most names are
// settled by their last two labels against a handful of domains.
bool InSetWithParents(std::string_view name) {
  static const std::vector<std::string_view> domains = [] {
    std::vector<std::string_view> v;
    for (std::string_view entry : kProtected)
      if (std::find(v.begin(), v.end(), LastTwoLabels(entry)) == v.end()) v.push_back(LastTwoLabels(entry));
    return v;
  }();
  if (std::find(domains.begin(), domains.end(), LastTwoLabels(name)) == domains.end()) return false;
  for (std::string_view rest(name); !rest.empty();) {
    if (std::find(std::begin(kProtected), std::end(kProtected), rest) != std::end(kProtected)) return true;
    const size_t dot = rest.find('.');
    if (dot == std::string_view::npos) break;
    rest.remove_prefix(dot + 1);
  }
  return false;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool IsProtectedName(std::string_view host) {
  while (!host.empty() && Blank(host.front())) host.remove_prefix(1);
  while (!host.empty() && Blank(host.back())) host.remove_suffix(1);
  if (!host.empty() && host.back() == '.') host.remove_suffix(1);
  // A host name fits the buffer; anything longer is lowered on the heap.
  char buffer[256];
  if (host.size() <= sizeof buffer) {
    std::transform(host.begin(), host.end(), buffer, Lower);
    return InSetWithParents(std::string_view(buffer, host.size()));
  }
  std::string name(host);
  std::transform(name.begin(), name.end(), name.begin(), Lower);
  return InSetWithParents(name);
}

bool HoldsProtectedName(std::string_view names) {
  size_t i = 0;
  while (i < names.size()) {
    while (i < names.size() && Blank(names[i])) ++i;
    const size_t start = i;
    while (i < names.size() && !Blank(names[i])) ++i;
    if (i > start && IsProtectedName(names.substr(start, i - start))) return true;
  }
  return false;
}

int RemoveProtectedLines(ListBox& list) {
  int dropped = 0;
  for (const std::string& entry : list.Items()) dropped += HoldsProtectedName(entry) ? 1 : 0;
  if (dropped == 0) return 0;
  ListBox kept;
  kept.Reserve(list.Items().size());
  for (const std::string& entry : list.Items())
    if (!HoldsProtectedName(entry)) kept.Add(entry);
  list = std::move(kept);
  return dropped;
}

}  // namespace nv
