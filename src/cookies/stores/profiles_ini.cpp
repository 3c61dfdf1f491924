#include "cookies/stores/profiles_ini.h"

#include <algorithm>

#include "cookies/stores/ascii_case.h"

namespace nv {

namespace {
std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// Lines end at LF, CR LF or CR: the file is written by Firefox on any system.
std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const size_t end = std::min(text.find_first_of("\r\n"), text.size());
    lines.push_back(text.substr(0, end));
    text.remove_prefix(end);
    if (!text.empty() && text.front() == '\r') text.remove_prefix(1);
    if (!text.empty() && text.front() == '\n') text.remove_prefix(1);
  }
  return lines;
}
}  // namespace

std::vector<FirefoxProfile> ParseProfilesIni(std::string_view text) {
  std::vector<FirefoxProfile> profiles;
  FirefoxProfile current;
  bool inProfile = false;
  auto finish = [&] {
    if (inProfile && !current.path.empty()) profiles.push_back(current);
    current = FirefoxProfile();
  };
  for (std::string_view raw : Lines(text)) {
    const std::string_view line = Trimmed(raw);
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line.front() == '[') {
      finish();
      inProfile = LowerAscii(line.substr(0, 8)) == "[profile";
      continue;
    }
    const size_t eq = line.find('=');
    if (!inProfile || eq == std::string_view::npos) continue;
    const std::string key = LowerAscii(Trimmed(line.substr(0, eq)));
    const std::string value(Trimmed(line.substr(eq + 1)));
    if (key == "name") current.name = value;
    else if (key == "path") current.path = value;
    else if (key == "isrelative") current.relative = value != "0";
  }
  finish();
  return profiles;
}

}  // namespace nv
