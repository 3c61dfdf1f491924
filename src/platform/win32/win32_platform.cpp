#include "platform/win32/win32_platform.h"

namespace nv {

Win32Platform::Win32Platform() {
  platform.files = &files;
  platform.settings = &settings;
  platform.clock = &clock;
  platform.dialogs = &dialogs;
  platform.system = &system;
  platform.sound = &sound;
  platform.shell = &shell;
  platform.text = &text;
  platform.tray = &tray;
  platform.net = net.get();
  platform.desktop = &desktop;
  platform.timers = &timers;
  platform.urlCache = &urlCache;
  platform.dnsCache = &dnsCache;
  platform.folderWatch = &folderWatch;
  platform.registry = &registry;
  platform.logonTask = &logonTask;
  platform.http = &http;
  platform.fileProbe = &fileProbe;
  platform.background = &background;
}

}  // namespace nv
