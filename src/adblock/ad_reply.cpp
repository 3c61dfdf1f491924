#include "adblock/ad_reply.h"

#include <array>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/folder_watch.h"
#include "store/list_file.h"
#include "store/paths.h"

namespace nv {

namespace {

constexpr std::size_t kMaxImageBytes = 32767;  // its length is a 16-bit number

struct KindRule {
  const char* pattern;
  AdReplyKind kind;
};
constexpr std::array<KindRule, 5> kKindRules{{
    {"*.asp*", AdReplyKind::Page},
    {"*.htm*", AdReplyKind::Page},
    {"*/", AdReplyKind::Page},
    {"*ord=*", AdReplyKind::Page},
    {"*.js*", AdReplyKind::Script},
}};

constexpr std::array<const char*, 6> kColours{"", "#FFFFFF", "#0000FF", "#00FF00", "#FF0000",
                                              "#000000"};

std::string PageBody(Services& s) {
  const std::string colour = PageBackground(s.settings.Get(keys::kSettings, keys::kColor, "0"));
  return "<html><body bgcolor=" + colour + ">This Ad was Blocked By Norvane!</body></html>";
}

// The banner's picture comes from this very server (any path that names no
// page or script gets the GIF), so a blocked ad tells no other site about the
// page that asked for it.
constexpr char kScriptPicture[] = "http://127.0.0.1/3.gif";

std::string ScriptBody() {
  return std::string("document.write(\"<table width=100% background=") + kScriptPicture +
         "><tr><td>Ad blocked by Norvane!(KVX)</td></tr></table>\")";
}

constexpr std::uint64_t kImageRecheckMs = 1000;

}  // namespace

const std::string& AdImageCache::Bytes(Services& s) {
  const std::string path = s.store.Path(paths::kAdImage);
  const std::uint64_t now = s.platform.clock->TickMs();
  if (valid_ && now - readAtMs_ < kImageRecheckMs && Unchanged(s, path)) return bytes_;
  valid_ = false;
  bytes_ = s.platform.files->ReadAll(path);
  if (bytes_.size() > kMaxImageBytes) throw err::Overflow();
  readAtMs_ = now;
  valid_ = true;
  return bytes_;
}

// A watched folder answers without a system call and tells of any change,
// one that keeps the size too; without a watch, the size is asked by path.
bool AdImageCache::Unchanged(Services& s, const std::string& path) const {
  if (FolderWatch* watch = s.platform.folderWatch) return !watch->FilesChanged(FolderOf(path));
  return s.platform.files->Size(path) == static_cast<std::int64_t>(bytes_.size());
}

bool WildcardMatch(std::string_view pattern, std::string_view text) {
  // Greedy match with one backtrack point: the last star seen.
  std::size_t p = 0, t = 0, star = std::string_view::npos, resume = 0;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = t;
    } else if (p < pattern.size() && pattern[p] == text[t]) {
      ++p;
      ++t;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      t = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

AdReplyKind ChooseReplyKind(std::string_view path) {
  for (const KindRule& rule : kKindRules)
    if (WildcardMatch(rule.pattern, path)) return rule.kind;
  return AdReplyKind::Image;
}

std::string PageBackground(std::string_view colorSetting) {
  const std::string_view text = TrimSpaces(colorSetting);
  if (text.size() == 1 && text[0] >= '0' && text[0] <= '5') return kColours[text[0] - '0'];
  return std::string(text);
}

std::string BuildAdResponse(Services& s, const std::string& path) {
  AdImageCache image;
  return BuildAdResponse(s, path, image);
}

std::string BuildAdResponse(Services& s, const std::string& path, AdImageCache& image) {
  try {
    const AdReplyKind kind = ChooseReplyKind(path);
    std::string body;
    const char* type = "image/gif";
    if (kind == AdReplyKind::Page) {
      body = PageBody(s);
      type = "text/html";
    } else if (kind == AdReplyKind::Script) {
      body = ScriptBody();
      type = "text/javascript";
    } else {
      body = image.Bytes(s);
    }
    s.counters.Increment(BannerAdsCount);
    std::string reply = "HTTP/1.1 200 OK\r\nExpires: 0\r\nLast-Modified: 0\r\nAccept-Ranges: bytes\r\n";
    reply.reserve(reply.size() + 64 + body.size());
    reply += "Content-Type: ";
    reply += type;
    reply += "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n";
    reply += body;
    return reply;
  } catch (const AppError&) {
    return {};
  }
}

}  // namespace nv
