#pragma once
#include <functional>
#include <memory>
#include <string>

#include "update/update_views.h"

namespace nv {

struct Platform;
struct HttpAnswer;
class Settings;
class Store;
class Form5;
class frmauto;
class xpUpdate;

// Live update's three windows and what they share: the checker loaded at
// start-up, the prompt it opens, the manual window of the tray menu, the
// update server's addresses, the installer hand-over and the message boxes.
// A window that unloads only closes; its object lives on until the same
// window is loaded again, so that no handler outlives the object it runs in.
class LiveUpdate {
  std::unique_ptr<UpdateViews> noViews_;  // stands in when there are no windows; before `views`

 public:
  // views may be null (no windows, as in tests of other parts); unloadMain
  // unloads the main window, which runs the exit sequence.
  LiveUpdate(Platform& platform, Store& store, Settings& settings, UpdateViews* views,
             std::function<void()> unloadMain);
  ~LiveUpdate();

  // Start-up: loads the hidden checker, whose timer then runs.
  void LoadChecker();
  // "&Live Update": shows the manual window modeless, or brings it forward.
  void ShowManualWindow();

  // The loaded windows, or nullptr.
  Form5* checker() const;
  frmauto* prompt() const;
  xpUpdate* manual() const;

  // For the windows.
  frmauto& LoadPrompt();
  // The checker's timer stops and the checker unloads, until the next start.
  void StopChecker();
  // The update server's address followed by path. A stored server that is
  // refused is noted once in "\err.log" (again only when it changes).
  std::string Url(const char* path);
  // Hands the installer's address to the shell: the default action, shown
  // normally; the browser downloads it.
  void OpenInstaller();
  // Unloads the main window, which runs the exit sequence and ends the program.
  void LeaveProgram();
  // A message box without icon under the program's title, owned by the
  // window that asks; every window of the program waits for the answer, as
  // the user does.
  int Box(UpdateFormView& owner, const std::string& text, unsigned buttons);
  // Says what went wrong with a fetch: no answer at all, or an answer that
  // was not what was asked for.
  void ReportFailure(UpdateFormView& owner, const HttpAnswer& answer);

  Platform& platform;
  UpdateViews& views;

 private:
  Store& store_;
  Settings& settings_;
  std::string refusedServer_;  // the last refused "UpdateServer" that was logged
  std::function<void()> unloadMain_;
  std::unique_ptr<Form5> checker_;
  std::unique_ptr<frmauto> prompt_;
  std::unique_ptr<xpUpdate> manual_;
};

}  // namespace nv
