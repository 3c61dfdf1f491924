#pragma once

// The program's own files, relative to the program folder.
namespace nv::paths {
inline constexpr char kHostsList[] = "\\data\\hosts.svr";
inline constexpr char kCookiesList[] = "\\data\\cookies.svr";
inline constexpr char kDnsList[] = "\\data\\dns.svr";
inline constexpr char kPopupsList[] = "\\data\\popups.svr";
inline constexpr char kHostsBackup[] = "\\data\\hosts.bak";
// The lines Norvane itself put into the HOSTS file, beside the backup.
inline constexpr char kHostsOwnLines[] = "\\data\\hosts.own";
inline constexpr char kAdsLog[] = "\\ads.log";
inline constexpr char kCookiesLog[] = "\\cookies.log";
inline constexpr char kErrLog[] = "\\err.log";
inline constexpr char kAdImage[] = "\\images\\4.gif";
inline constexpr char kPopupSound[] = "\\popupblock.wav";
inline constexpr char kHelpText[] = "\\help.rtf";
inline constexpr char kStartIni[] = "\\start.ini";
}  // namespace nv::paths
