#include "update/update_server.h"

#include "store/settings.h"

namespace nv {

std::string UpdateUrl(const Settings& settings, const char* path) {
  std::string server = settings.Get(keys::kSettings, kUpdateServerKey, kDefaultUpdateServer);
  while (!server.empty() && (server.back() == '/' || server.back() == ' ')) server.pop_back();
  while (!server.empty() && server.front() == ' ') server.erase(0, 1);
  if (server.empty()) server = kDefaultUpdateServer;
  return server + path;
}

}  // namespace nv
