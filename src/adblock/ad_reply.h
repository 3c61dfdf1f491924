#pragma once
#include <cstdint>
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

// The replacement picture "\images\4.gif" as last read. It is read again
// when its folder reports a change (without a folder watch: when its size
// changes) and at least once a second, for a file system that reports a
// write late (Windows may tell of a size or time only once it is flushed),
// so a replaced or removed picture is noticed without reading the file for
// every reply.
class AdImageCache {
 public:
  // The picture's bytes; throws when it is missing, unreadable or too large.
  const std::string& Bytes(Services& services);

 private:
  bool Unchanged(Services& services, const std::string& path) const;
  std::string bytes_;
  std::uint64_t readAtMs_ = 0;
  bool valid_ = false;
};

// The complete HTTP reply for a lower-cased, trimmed request path, counted in
// BannerAdsCount. Empty, and not counted, when it cannot be built (the
// picture is missing, unreadable or 32,768 bytes or larger).
std::string BuildAdResponse(Services& services, const std::string& path, AdImageCache& image);
// The same, reading the picture afresh.
std::string BuildAdResponse(Services& services, const std::string& path);

}  // namespace nv
