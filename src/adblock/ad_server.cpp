#include "adblock/ad_server.h"

namespace nv {

void AdServer::StartAdServer() {}
void AdServer::StopAdServer() {}

}  // namespace nv
