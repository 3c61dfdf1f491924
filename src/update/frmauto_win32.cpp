// The prompt "Update?" that the checker opens.
#include "update/frmauto.h"
#include "update/update_form_win32.h"
#include "update/update_ids.h"
#include "update/update_windows_win32.h"

#include "ui/controls_win32.h"

namespace nv {

namespace {

class PromptWindow : public UpdateFormWindow {
 public:
  PromptWindow(HINSTANCE inst, frmauto& form)
      : UpdateFormWindow(inst, "NorvaneUpdatePrompt", "Update?", 420, 250), form_(form) {
    Icon(16, 12);
    Label("New Version Detected!", 60, 10, 344, 26, 0, HeadingFont());
    Label("Norvane!", 60, 38, 344, 18, 0, ui::BoldFont());
    Group("Version info", 16, 66, 388, 104);
    Group("Current Version", 28, 88, 176, 68);
    Label("2.0.0", 38, 114, 156, 26, update_ids::kLabel4, VersionFont(), SS_CENTER);
    Group("Update Version", 216, 88, 176, 68);
    Label("2.0.0", 226, 114, 156, 26, update_ids::kLabel5, VersionFont(), SS_CENTER);
    Label("Would you like to Update Norvane! now?", 16, 180, 388, 18);
    Button("&Yes", 16, 206, 80, 30, update_ids::kXpBs1);
    Button("&No", 104, 206, 80, 30, update_ids::kXpBs2);
    // The prompt comes by itself, maybe while the user types elsewhere: the
    // keyboard starts on the harmless button, not on the one that ends the program.
    FirstFocus(Button("Read whats New in this update!", 192, 206, 212, 30, update_ids::kXpBs3));
  }

 private:
  void OnCommand(int id) override {
    if (id == update_ids::kXpBs1) form_.XpBs1_Click();
    else if (id == update_ids::kXpBs2) form_.XpBs2_Click();
    else if (id == update_ids::kXpBs3) form_.XpBs3_Click();
  }
  void OnClose() override { form_.Form_Unload(); }

  frmauto& form_;
};

}  // namespace

std::unique_ptr<UpdateFormView> Win32UpdateViews::MakePrompt(frmauto& form) {
  return std::make_unique<PromptWindow>(inst_, form);
}

}  // namespace nv
