#pragma once
#include <string>
#include <string_view>

#include "store/services.h"

namespace nv {

// What the browser expected from the ad server, judged from the path.
enum class AdReplyKind { Page, Script, Image };

// The first rule that matches wins: a page for "*.asp*", "*.htm*", "*/" and
// "*ord=*", a script for "*.js*", a picture otherwise.
AdReplyKind ChooseReplyKind(std::string_view path);

// "*" stands for any run of characters; every other character for itself.
bool WildcardMatch(std::string_view pattern, std::string_view text);

// The page's bgcolor value for the stored Color text ("0" to "5"); any other
// text is used unchanged. The text is trimmed first.
std::string PageBackground(std::string_view colorSetting);

// The complete HTTP reply for a lower-cased, trimmed request path, counted in
// BannerAdsCount. Empty, and not counted, when it cannot be built (the
// picture is missing, unreadable or 32,768 bytes or larger).
std::string BuildAdResponse(Services& services, const std::string& path);

}  // namespace nv
