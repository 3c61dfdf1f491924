#pragma once

namespace nv {

class Files;
class SettingsStore;
class Clock;
class Dialogs;
class System;
class Sound;
class Shell;
class TextCompare;
class Tray;
class Desktop;
class Network;
class Timers;
class UrlCache;
class DnsCache;
class FolderWatch;
class Registry;
class LogonTask;
class HttpFetch;
class FileProbe;
class Background;

// The seam as one table: every OS service the core may use. The Win32 layer
// fills it with real implementations, tests with fakes. A subsystem that does
// not need a service never touches its slot, so tests may leave it empty.
struct Platform {
  Files* files = nullptr;
  SettingsStore* settings = nullptr;
  Clock* clock = nullptr;
  Dialogs* dialogs = nullptr;
  System* system = nullptr;
  Sound* sound = nullptr;
  Shell* shell = nullptr;
  TextCompare* text = nullptr;
  Tray* tray = nullptr;
  Desktop* desktop = nullptr;
  Network* net = nullptr;
  Timers* timers = nullptr;
  UrlCache* urlCache = nullptr;
  DnsCache* dnsCache = nullptr;
  FolderWatch* folderWatch = nullptr;
  Registry* registry = nullptr;
  LogonTask* logonTask = nullptr;
  HttpFetch* http = nullptr;
  FileProbe* fileProbe = nullptr;
  Background* background = nullptr;
};

}  // namespace nv
