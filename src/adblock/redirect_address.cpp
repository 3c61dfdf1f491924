#include "adblock/redirect_address.h"

#include "platform/files.h"
#include "platform/system.h"

namespace nv {

namespace {

bool HasFirefoxProfile(Platform& platform) {
  if (!platform.system || !platform.files) return false;
  const std::optional<std::string> appData = platform.system->SpecialFolder(redirect::kCsidlAppData);
  return appData && !appData->empty() && platform.files->Exists(*appData + redirect::kFirefoxProfiles);
}

bool IsAddress(const std::string& text) { return text == redirect::kLoopback || text == redirect::kNowhere; }

}  // namespace

std::string PeekRedirectAddress(Services& s) {
  const std::string stored = s.settings.Get(keys::kSettings, redirect::kKey, "");
  if (IsAddress(stored)) return stored;
  return HasFirefoxProfile(s.platform) ? redirect::kNowhere : redirect::kLoopback;
}

std::string RedirectAddress(Services& s) {
  const std::string stored = s.settings.Get(keys::kSettings, redirect::kKey, "");
  if (IsAddress(stored)) return stored;
  const std::string chosen = PeekRedirectAddress(s);
  if (!stored.empty())
    s.store.LogError(AppError(err::kTypeMismatch, std::string("Settings\\") + redirect::kKey + " is \"" + stored +
                                                      "\", neither address; " + chosen + " is used"));
  try {
    s.settings.Save(keys::kSettings, redirect::kKey, chosen);
  } catch (const AppError& e) {
    s.store.LogError(e);
  }
  return chosen;
}

}  // namespace nv
