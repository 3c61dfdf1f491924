#pragma once
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

// What the end-to-end programs need to act as a user and as a browser would
// against a real norvane.exe running under Wine (or Windows).
namespace e2e {

// Polls until cond() holds or ms pass; polling beats sleeping longer.
bool WaitUntil(const std::function<bool()>& cond, int ms = 10000, int stepMs = 20);

// The staged program folder given by the runner (NV_STAGE).
std::string StageDir();
// A fresh program folder C:\nvtest\<name> copied from the stage.
std::string InstallFresh(const std::string& name);
// The HOSTS file of this Windows.
std::string HostsPath();

std::string ReadFile(const std::string& path);  // "" when missing
void WriteFile(const std::string& path, const std::string& bytes);
bool Exists(const std::string& path);
DWORD Attributes(const std::string& path);  // INVALID_FILE_ATTRIBUTES when missing
void SetAttributes(const std::string& path, DWORD attrs);
void RemoveFile(const std::string& path);

// HKEY_CURRENT_USER\Software\Norvane\<section>.
std::optional<std::string> GetSetting(const std::string& section, const std::string& key);
void SetSetting(const std::string& section, const std::string& key, const std::string& value);
void ClearSettings();

// A message box on screen, found by its title.
struct Box {
  HWND hwnd = nullptr;
  DWORD pid = 0;
  std::string title, text;
};
std::optional<Box> FindBox(const std::string& title);
std::optional<Box> WaitBox(const std::string& title, int ms = 10000);
// Presses the box's first button (OK) and waits until it is gone.
void DismissBox(const Box& box);

// Windows of any process.
HWND FindTopWindow(const std::string& cls, const std::string& title, DWORD pid = 0);
HWND FindDescendant(HWND parent, const std::string& cls, const std::string& text);
std::string TextOf(HWND h);
void Click(HWND button);
// Key presses posted to a window's thread (menus read them from its queue).
void PostKeys(HWND target, std::initializer_list<WORD> keys);

// Starts a command line; false when it could not be started. Hands out the
// process handle (the caller closes it) and id when asked. A Linux program
// started this way has no handle (null): poll for its effect.
bool Launch(const std::string& commandLine, HANDLE* process = nullptr, DWORD* pid = nullptr);

// Saves a picture of the whole screen (ImageMagick's import, a Unix program
// that Wine starts) under the folder NV_SHOTS names; false when unset.
bool Screenshot(const std::string& name);

// One running norvane.exe.
class Norvane {
 public:
  explicit Norvane(std::string folder) : folder_(std::move(folder)) {}
  ~Norvane();
  Norvane(const Norvane&) = delete;
  Norvane& operator=(const Norvane&) = delete;

  // Starts norvane.exe with the given command-line arguments, if any.
  bool Start(const std::string& arguments = "");
  // The hidden main window of this process, once it exists.
  HWND MainWindow(int ms = 10000);
  // True once start-up is over and the tick has written the status line.
  bool WaitRunning(int ms = 15000);
  std::string StatusLine();   // Label2 of the About window
  std::string VersionLine();  // Label4
  // Right button down on the tray icon; returns the open menu's window.
  HWND OpenTrayMenu(int ms = 5000);
  // Opens the tray menu and picks the item n steps down from the top.
  bool PickMenuItem(int stepsDown);
  // A clean exit: a close request to the main window (runs the exit sequence).
  void Close();
  // Windows logging off: WM_QUERYENDSESSION then WM_ENDSESSION(TRUE).
  void EndSession();
  // Ends the process without its exit sequence.
  void Kill();
  bool WaitExit(int ms = 15000);
  bool Running() const;
  DWORD ExitCode() const;
  DWORD pid() const { return pi_.dwProcessId; }
  const std::string& folder() const { return folder_; }
  std::string File(const std::string& relative) const { return folder_ + relative; }

 private:
  std::string folder_;
  PROCESS_INFORMATION pi_{};
  HWND main_ = nullptr;
};

// Control numbers of the About window's labels (shared with the program).
constexpr int kLabel2Id = 1002;
constexpr int kLabel4Id = 1004;

}  // namespace e2e
