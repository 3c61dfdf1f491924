#include "cookies/stores/browser_profiles.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "cookies/stores/json_value.h"
#include "cookies/stores/profiles_ini.h"
#include "platform/files.h"

namespace nv {

namespace {

// A "Local State" or "profiles.ini" larger than this is no browser's.
constexpr std::int64_t kMaxProfileListBytes = 16 << 20;

struct ChromiumBrowser {
  const char* name;
  bool roaming;        // under %APPDATA% rather than %LOCALAPPDATA%
  const char* folder;  // the browser's user data folder
  bool profileAtTop;   // the user data folder is the first profile itself
};
constexpr ChromiumBrowser kChromiumBrowsers[] = {
    {"Edge", false, "\\Microsoft\\Edge\\User Data", false},
    {"Chrome", false, "\\Google\\Chrome\\User Data", false},
    {"Brave", false, "\\BraveSoftware\\Brave-Browser\\User Data", false},
    {"Vivaldi", false, "\\Vivaldi\\User Data", false},
    {"Opera", true, "\\Opera Software\\Opera Stable", true},
    {"Opera GX", true, "\\Opera Software\\Opera GX Stable", true},
    {"Chromium", false, "\\Chromium\\User Data", false},
};
constexpr char kFirefoxFolder[] = "\\Mozilla\\Firefox";

bool Exists(Files& files, const std::string& path) { return files.Size(path) >= 0; }

std::optional<std::string> ReadSmall(Files& files, const std::string& path) {
  const std::int64_t size = files.Size(path);
  if (size < 0 || size > kMaxProfileListBytes) return std::nullopt;
  try {
    return files.ReadAll(path);
  } catch (const AppError&) {
    return std::nullopt;
  }
}

std::string Backslashed(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

// Profile folder names with the names the browser shows, from "Local State"
// (profile.info_cache); "Default" is always among them.
std::vector<std::pair<std::string, std::string>> ChromiumProfiles(Files& files, const std::string& userData) {
  std::vector<std::pair<std::string, std::string>> profiles;
  const auto text = ReadSmall(files, userData + "\\Local State");
  const auto state = text ? ParseJson(*text) : std::nullopt;
  const JsonValue* profile = state ? state->Member("profile") : nullptr;
  const JsonValue* cache = profile ? profile->Member("info_cache") : nullptr;
  if (cache) {
    for (const auto& [folder, info] : cache->members) {
      const JsonValue* name = info.Member("name");
      const bool named = name && name->kind == JsonValue::Kind::String && !name->text.empty();
      profiles.emplace_back(Backslashed(folder), named ? name->text : folder);
    }
  }
  const bool hasDefault = std::any_of(profiles.begin(), profiles.end(), [](const auto& p) { return p.first == "Default"; });
  if (!hasDefault) profiles.insert(profiles.begin(), {"Default", "Default"});
  return profiles;
}

void AddChromiumProfile(Files& files, const ChromiumBrowser& b, const std::string& userData,
                        const std::string& dir, const std::string& name, std::vector<CookieStoreInfo>& out) {
  const std::string lockfile = userData + "\\lockfile";
  std::string cookies = dir + "\\Network\\Cookies";
  if (!Exists(files, cookies)) cookies = dir + "\\Cookies";
  for (const std::string& db : {cookies, dir + "\\Extension Cookies"})
    if (Exists(files, db)) out.push_back({b.name, name, db, {db, lockfile}, StoreKind::Chromium});
}

void AddChromium(Files& files, const BrowserFolders& f, std::vector<CookieStoreInfo>& out) {
  for (const ChromiumBrowser& b : kChromiumBrowsers) {
    const std::string& base = b.roaming ? f.roamingAppData : f.localAppData;
    if (base.empty()) continue;
    const std::string userData = base + b.folder;
    for (const auto& [folder, name] : ChromiumProfiles(files, userData)) {
      // Opera keeps its first profile in the user data folder itself.
      const bool top = b.profileAtTop && folder == "Default";
      AddChromiumProfile(files, b, userData, top ? userData : userData + "\\" + folder, name, out);
    }
  }
}

void AddFirefox(Files& files, const BrowserFolders& f, std::vector<CookieStoreInfo>& out) {
  if (f.roamingAppData.empty()) return;
  const std::string base = f.roamingAppData + kFirefoxFolder;
  const auto ini = ReadSmall(files, base + "\\profiles.ini");
  if (!ini) return;
  for (const FirefoxProfile& p : ParseProfilesIni(*ini)) {
    const std::string dir = p.relative ? base + "\\" + Backslashed(p.path) : Backslashed(p.path);
    const std::string db = dir + "\\cookies.sqlite";
    if (Exists(files, db)) out.push_back({"Firefox", p.name, db, {db, dir + "\\parent.lock"}, StoreKind::Firefox});
  }
}

}  // namespace

std::vector<CookieStoreInfo> FindCookieStores(Files& files, const BrowserFolders& folders) {
  std::vector<CookieStoreInfo> stores;
  AddChromium(files, folders, stores);
  AddFirefox(files, folders, stores);
  return stores;
}

std::vector<std::string> BrowsersOf(const std::vector<CookieStoreInfo>& stores) {
  std::vector<std::string> names;
  for (const CookieStoreInfo& s : stores)
    if (std::find(names.begin(), names.end(), s.browser) == names.end()) names.push_back(s.browser);
  return names;
}

}  // namespace nv
