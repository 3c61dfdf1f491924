#pragma once
#include <string>

namespace nv {

// The update server: HTTPS by default, so that no one on the way can swap the
// version text or the installer's address. "UpdateServer" in the settings
// ("Settings" section) points it elsewhere, e.g. at a company's own mirror.
inline constexpr char kUpdateServerKey[] = "UpdateServer";
inline constexpr char kDefaultUpdateServer[] = "https://www.norvane.example";
inline constexpr char kVersionPath[] = "/norvane/update/application.ver";
inline constexpr char kNewsPath[] = "/norvane/update/News.txt";
inline constexpr char kInstallerPath[] = "/norvane/update/ubdate.exe";

// Any program of the user can write "UpdateServer", and the elevated program
// hands the installer's address from there to the shell: only an https
// address is taken, and plain http only for this computer's own loopback
// addresses (a test's server). Anything else gives the default server, and
// `refused` holds the stored text that was passed over.
struct UpdateServer {
  std::string address;  // without a closing "/"
  std::string refused;  // empty when the stored text was taken (or none was stored)
};
UpdateServer ChooseUpdateServer(const std::string& stored);

}  // namespace nv
