#pragma once
#include <string>
#include <vector>

namespace nv {

class Files;

enum class StoreKind { Chromium, Firefox };

// One cookie database of one browser profile.
struct CookieStoreInfo {
  std::string browser;  // "Chrome", "Firefox", ...
  std::string profile;  // the profile's name as the browser shows it
  std::string path;     // the SQLite database
  // Files that the running browser holds open: the database itself, and the
  // browser's own lock (Chromium's "lockfile", Firefox's "parent.lock").
  std::vector<std::string> locks;
  StoreKind kind = StoreKind::Chromium;
};

// Where the current user's browsers keep their profiles.
struct BrowserFolders {
  std::string localAppData;    // CSIDL_LOCAL_APPDATA
  std::string roamingAppData;  // CSIDL_APPDATA
};

// Every cookie store of the Chromium family (Edge, Chrome, Brave, Vivaldi,
// Opera, Opera GX, Chromium: each profile's "Network\Cookies", or the older
// "Cookies", and "Extension Cookies") and of Firefox (each profile's
// "cookies.sqlite"), in that order of browsers. Profiles come from the
// browser's "Local State" or "profiles.ini"; a store is listed only when its
// file exists. Files that cannot be read count as absent.
std::vector<CookieStoreInfo> FindCookieStores(Files& files, const BrowserFolders& folders);

// The browsers of the stores, each once, in the order found.
std::vector<std::string> BrowsersOf(const std::vector<CookieStoreInfo>& stores);

}  // namespace nv
