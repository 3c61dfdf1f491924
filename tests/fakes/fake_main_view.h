#pragma once
#include <map>
#include <string>
#include <vector>

#include "app/main_view.h"

namespace nv::test {

// Records what the core asked of the main window's on-screen side.
class FakeMainView : public MainView {
 public:
  void SetVersionLabel(const std::string& text) override { versionLabel = text; }
  void SetStatusLabel(const std::string& text) override { statusLabel = text; }
  void SetAboutVisible(bool v) override { aboutVisible = v; }
  void SetMenuCheck(MenuItem item, bool checked) override { checks[item] = checked; }
  void ShowTrayMenu() override { calls.push_back("ShowTrayMenu"); }
  void ShowHelp() override { calls.push_back("ShowHelp"); }
  void ShowSettings() override { calls.push_back("ShowSettings"); }
  void CloseSettings() override { calls.push_back("CloseSettings"); }
  std::uintptr_t WindowHandle() override { return 0x1234; }
  std::uintptr_t IconHandle() override { return 0x5678; }

  std::string versionLabel, statusLabel;
  bool aboutVisible = true;
  std::map<MenuItem, bool> checks;
  std::vector<std::string> calls;
};

}  // namespace nv::test
