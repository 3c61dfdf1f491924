#pragma once
#include <windows.h>

#include "platform/clock.h"
#include "platform/errors.h"
#include "platform/dialogs.h"
#include "platform/settings_store.h"
#include "platform/shell.h"
#include "platform/sound.h"
#include "platform/system.h"
#include "platform/text.h"

namespace nv {

// The registry under HKEY_CURRENT_USER\Software\<app>\<section>, text values.
class Win32SettingsStore : public SettingsStore {
 public:
  std::optional<std::string> Get(const std::string& app, const std::string& section,
                                 const std::string& key) override;
  void Set(const std::string& app, const std::string& section, const std::string& key,
           const std::string& value) override;
};

class Win32Clock : public Clock {
 public:
  LocalTime Now() override;
  std::string ShortDate(const LocalTime& t) override;
  std::string LongTime(const LocalTime& t) override;
  std::uint64_t TickMs() override { return GetTickCount64(); }
  void Pause(int ms) override { Sleep(static_cast<DWORD>(ms)); }
};

class Win32Dialogs : public Dialogs {
 public:
  using Dialogs::Show;
  int Show(const std::string& text, const std::string& title, unsigned style, WindowHandle owner) override;
};

class Win32System : public System {
 public:
  std::string ProgramFolder() override;
  std::vector<std::string> Arguments() override;
  std::string WindowsDirectory(unsigned maxChars) override;
  std::optional<std::string> SpecialFolder(int csidl) override;
  std::string UserName(unsigned maxChars) override;
  bool ClaimSingleInstance() override;
  void EndProcess() override;

 private:
  HANDLE mutex_ = nullptr;
};

class Win32Sound : public Sound {
 public:
  void Play(const std::string& path, unsigned flags) override;
};

class Win32Shell : public Shell {
 public:
  void Execute(const std::string& verb, const std::string& file, const std::string& params,
               const std::string& dir, int show) override;
  bool Elevated() override;
  bool ExecuteAsDesktopUser(const std::string& verb, const std::string& file, const std::string& params,
                            const std::string& dir, int show) override;
  HWND owner = nullptr;
};

// CompareStringA of the user's locale, ignoring case; the sort keys are
// LCMapStringA's, which order as CompareStringA with the same flags.
class Win32Text : public TextCompare {
 public:
  int FindNoCase(const std::string& haystack, const std::string& needle) override;
  int CompareNoCase(const std::string& a, const std::string& b) override;
  std::string SortKey(const std::string& text) override;
};

}  // namespace nv
