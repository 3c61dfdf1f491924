#pragma once
#include <string>

namespace nv {

class Settings;

// The update server: HTTPS by default, so that no one on the way can swap the
// version text or the installer's address. "UpdateServer" in the settings
// ("Settings" section) points it elsewhere, e.g. at a company's own mirror.
inline constexpr char kUpdateServerKey[] = "UpdateServer";
inline constexpr char kDefaultUpdateServer[] = "https://www.norvane.example";
inline constexpr char kVersionPath[] = "/norvane/update/application.ver";
inline constexpr char kNewsPath[] = "/norvane/update/News.txt";
inline constexpr char kInstallerPath[] = "/norvane/update/ubdate.exe";

// The server's address followed by path; a stored address may end in "/".
std::string UpdateUrl(const Settings& settings, const char* path);

}  // namespace nv
