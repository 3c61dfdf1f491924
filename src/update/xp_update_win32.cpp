// The manual update window "Internet Product Update".
#include "ui/controls_win32.h"
#include "store/vendor.h"
#include "ui/xpbs.h"
#include "ui/xpbs_win32.h"
#include "update/update_form_win32.h"
#include "update/update_ids.h"
#include "update/update_picture.h"
#include "update/update_windows_win32.h"
#include "update/xp_update.h"

namespace nv {

namespace {

constexpr char kHelpText[] =
    "If you need more information on anything about this software you can visit our site ";
constexpr char kHelpClosing[] =
    ". Our customer service answers every question sent from there, and the help that comes with "
    "Norvane! explains each option offline.";

class UpdateWindow : public UpdateFormWindow {
 public:
  UpdateWindow(HINSTANCE inst, xpUpdate& form)
      : UpdateFormWindow(inst, "NorvaneUpdate", "Internet Product Update", 440, 384), form_(form) {
    Icon(16, 12);
    Label("Live Update", 60, 16, 360, 30, 0, HeadingFont());
    Label("", 16, 54, 408, 2, 0, nullptr, SS_ETCHEDHORZ);
    Group("Version Check/News", 16, 64, 408, 112);
    Label("Note: You must be connected to internet to use this service.", 30, 86, 384, 18);
    CheckButton(Button("Check For Updates", 30, 116, 170, 36, update_ids::kCommand1));
    Label("---", 214, 116, 198, 36, update_ids::kLabel6, nullptr, SS_LEFT | SS_CENTERIMAGE);
    Group("Current version", 16, 186, 200, 62);
    Label("2.0", 28, 210, 176, 26, update_ids::kLabel7, VersionFont(), SS_CENTER);
    Group("Newer Version", 224, 186, 200, 62);
    Label("?.?.?", 236, 210, 176, 26, update_ids::kLabel8, VersionFont(), SS_CENTER);
    Label("Help", 16, 258, 408, 18, 0, ui::BoldFont());
    Label(std::string(kHelpText) + kVendorSite + kHelpClosing, 16, 278, 408, 58);
    XpBs* close = XpBsOf(Button("Close", 334, 344, 90, 28, update_ids::kXpBs1));
    close->SetXPDefaultColors(false);
  }

 private:
  // A picture drawn 16 by 16, and no sounds.
  static void CheckButton(HWND button) {
    XpBs* b = XpBsOf(button);
    b->SetPicture(UpdateButtonPicture());
    b->SetPictureSize(0);
    b->SetSoundOver("");
    b->SetSoundClick("");
  }
  void OnCommand(int id) override {
    if (id == update_ids::kCommand1) form_.command1_Click();
    else if (id == update_ids::kXpBs1) form_.XpBs1_Click();
  }
  void OnClose() override { form_.Form_Unload(); }

  xpUpdate& form_;
};

}  // namespace

std::unique_ptr<UpdateFormView> Win32UpdateViews::MakeManual(xpUpdate& form) {
  return std::make_unique<UpdateWindow>(inst_, form);
}

}  // namespace nv
