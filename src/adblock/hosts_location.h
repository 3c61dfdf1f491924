#pragma once
#include <string>

#include "platform/files.h"

namespace nv {

// Where the HOSTS file lives: the first of its usual places that can be read
// (the system folder's, then the older ones); empty when none can.
std::string FindHostsFile(Files& files, const std::string& windowsDir);
// Where a missing HOSTS file belongs.
std::string UsualHostsPath(const std::string& windowsDir);

}  // namespace nv
