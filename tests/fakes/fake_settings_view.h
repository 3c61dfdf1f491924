#pragma once
#include <array>
#include <string>
#include <vector>

#include "settings/main_window_link.h"
#include "settings/settings_view.h"
#include "settings/startup_registration.h"
#include "platform/errors.h"

namespace nv::test {

// Shows what the settings dialog's controls would show, and keeps the order
// of the calls in a journal shared with the other fakes of the dialog.
class FakeSettingsView : public SettingsView {
 public:
  explicit FakeSettingsView(std::vector<std::string>& journal) : journal_(journal) {}
  struct ListState {
    std::string entry, count = "cnt";
    int rows = 0, selected = -1;
    bool listEnabled = true, addEnabled = false;
  };
  void CopyMainIcon() override { iconCopied = true; }
  void FillColours(const char* const* names, int count) override { colours.assign(names, names + count); }
  void ShowColour(int index) override { colour = index; }
  void ShowRedirect(int index) override { redirect = index; }
  void SetColoursEnabled(bool enabled) override { coloursEnabled = enabled; }
  void ShowCheck(SettingsCheck c, bool v) override { checks[static_cast<size_t>(c)] = v; }
  void ShowEntry(SettingsList l, const std::string& t) override {
    Of(l).entry = t;
    journal_.push_back("entry " + t);
  }
  void ShowCount(SettingsList l, const std::string& t) override { Of(l).count = t; }
  void ShowList(SettingsList l, int count, int selected) override {
    Of(l).rows = count;
    Of(l).selected = selected;
  }
  void SetListEnabled(SettingsList l, bool v) override { Of(l).listEnabled = v; }
  void SetAddEnabled(SettingsList l, bool v) override { Of(l).addEnabled = v; }
  void SetApplyEnabled(bool v) override {
    applyEnabled = v;
    journal_.push_back(v ? "apply on" : "apply off");
  }
  void Unload() override {
    unloaded = true;
    journal_.push_back("unload");
  }
  WindowHandle BoxOwner() override { return window; }
  ListState& Of(SettingsList l) { return lists[static_cast<size_t>(l)]; }

  WindowHandle window = 0x5e77;
  bool iconCopied = false, applyEnabled = true, unloaded = false;
  int colour = -1;
  int redirect = -1;
  bool coloursEnabled = true;
  std::vector<std::string> colours;
  std::array<bool, kSettingsChecks> checks{};
  std::array<ListState, kSettingsLists> lists;

 private:
  std::vector<std::string>& journal_;
};

class FakeConfirmView : public ConfirmView {
 public:
  explicit FakeConfirmView(std::vector<std::string>& journal) : journal_(journal) {}
  void Open(const std::string& question) override { journal_.push_back("confirm " + question); }
  void BringForward() override { journal_.push_back("confirm forward"); }
  void Close() override { journal_.push_back("confirm close"); }

 private:
  std::vector<std::string>& journal_;
};

class FakeStartup : public StartupRegistration {
 public:
  explicit FakeStartup(std::vector<std::string>& journal) : journal_(journal) {}
  bool Registered() override { return registered; }
  void Update(bool on) override {
    if (failUpdate) throw AppError(err::kPermissionDenied, "Permission denied");
    registered = on;
    journal_.push_back(on ? "startup on" : "startup off");
  }
  bool registered = false, failUpdate = false;

 private:
  std::vector<std::string>& journal_;
};

class FakeMainLink : public MainWindowLink {
 public:
  explicit FakeMainLink(std::vector<std::string>& journal) : journal_(journal) {}
  void Reload() override { journal_.push_back("reload"); }

 private:
  std::vector<std::string>& journal_;
};

}  // namespace nv::test
