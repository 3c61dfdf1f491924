#pragma once
#include <memory>

#include "platform/platform.h"
#include "platform/win32/win32_background.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_dns_cache.h"
#include "platform/win32/win32_file_probe.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_folder_watch.h"
#include "platform/win32/win32_logon_task.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_http_fetch.h"
#include "platform/win32/win32_services.h"
#include "platform/win32/win32_tray.h"
#include "platform/win32/win32_timers.h"
#include "platform/win32/win32_url_cache.h"
#include "platform/win32/winsock_network.h"

namespace nv {

// Every Win32 implementation of the seam, wired into one Platform table.
struct Win32Platform {
  Win32Platform();
  Win32Files files;
  Win32SettingsStore settings;
  Win32Clock clock;
  Win32Dialogs dialogs;
  Win32System system;
  Win32Sound sound;
  Win32Shell shell;
  Win32Text text;
  Win32Tray tray;
  std::unique_ptr<Network> net = MakeWinsockNetwork();
  Win32Desktop desktop;
  Win32Timers timers;
  Win32UrlCache urlCache;
  Win32DnsCache dnsCache;
  Win32FolderWatch folderWatch;
  Win32Registry registry;
  Win32LogonTask logonTask;
  Win32HttpFetch http;
  Win32FileProbe fileProbe;
  Win32Background background;
  Platform platform;
};

}  // namespace nv
