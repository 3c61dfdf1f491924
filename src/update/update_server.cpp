#include "update/update_server.h"

#include <string_view>

#include "store/ascii_text.h"

namespace nv {
namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (AsciiLower(text[i]) != prefix[i]) return false;
  return true;
}

// 127.0.0.0/8 in dotted form: four numbers of 0 to 255, the first 127.
bool IsLoopbackIPv4(std::string_view host) {
  int parts = 0, value = -1;
  for (std::size_t i = 0; i <= host.size(); ++i) {
    const char c = i < host.size() ? host[i] : '.';
    if (c >= '0' && c <= '9') {
      value = (value < 0 ? 0 : value) * 10 + (c - '0');
      if (value > 255) return false;
    } else if (c == '.' && value >= 0) {
      if (parts == 0 && value != 127) return false;
      ++parts;
      value = -1;
    } else {
      return false;
    }
  }
  return parts == 4;
}

// The host of "//host[:port][/...]" after the scheme; empty when it holds a
// user name (everything before an "@" would only dress up the real host).
std::string_view HostOf(std::string_view rest) {
  const std::size_t end = rest.find_first_of("/?#");
  std::string_view authority = rest.substr(0, end);
  if (authority.find('@') != std::string_view::npos) return {};
  if (!authority.empty() && authority.front() == '[') return authority.substr(0, authority.find(']') + 1);
  return authority.substr(0, authority.find(':'));
}

bool IsLoopbackHost(std::string_view host) {
  std::string lower(host);
  for (char& c : lower) c = AsciiLower(c);
  return lower == "localhost" || lower == "[::1]" || IsLoopbackIPv4(lower);
}

bool Acceptable(std::string_view address) {
  if (StartsWithNoCase(address, "https://")) return !HostOf(address.substr(8)).empty();
  if (StartsWithNoCase(address, "http://")) return IsLoopbackHost(HostOf(address.substr(7)));
  return false;
}

}  // namespace

UpdateServer ChooseUpdateServer(const std::string& stored) {
  std::string_view s = stored;
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && (s.back() == '/' || s.back() == ' ')) s.remove_suffix(1);
  if (s.empty()) return {kDefaultUpdateServer, ""};
  if (!Acceptable(s)) return {kDefaultUpdateServer, stored};
  return {std::string(s), ""};
}

}  // namespace nv
