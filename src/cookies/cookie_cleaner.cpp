#include "cookies/cookie_cleaner.h"

namespace nv {

void CookieCleaner::KillCookies(bool enabled) { lstCk.Clear(); }
void CookieCleaner::CookieStep() {}

}  // namespace nv
