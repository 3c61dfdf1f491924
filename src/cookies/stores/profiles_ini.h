#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace nv {

// One [ProfileN] section of Firefox's "profiles.ini".
struct FirefoxProfile {
  std::string name;
  std::string path;       // as written: "Profiles/abcd.default-release" or a full path
  bool relative = true;   // IsRelative=1: the path is under the folder of profiles.ini
};

// The sections whose name begins with "Profile" and that give a Path, in file
// order. Any line end; keys and section names in any letter case.
std::vector<FirefoxProfile> ParseProfilesIni(std::string_view text);

}  // namespace nv
