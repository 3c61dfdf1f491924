#include "adblock/hosts_location.h"

namespace nv {

std::string UsualHostsPath(const std::string& windowsDir) { return windowsDir + "\\system32\\drivers\\etc\\HOSTS"; }

std::string FindHostsFile(Files& files, const std::string& windowsDir) {
  for (const std::string& candidate :
       {UsualHostsPath(windowsDir), windowsDir + "\\hosts", std::string("c:\\winnt\\system32\\drivers\\etc\\hosts")})
    if (files.CanOpenForRead(candidate)) return candidate;
  return {};
}

}  // namespace nv
