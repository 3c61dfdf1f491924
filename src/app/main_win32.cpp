#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "app/form3.h"
#include "app/form3_win32.h"
#include "app/frm_main_win32.h"
#include "ui/modeless_win32.h"
#include "platform/win32/win32_platform.h"

using namespace nv;

int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPSTR, int) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  static Win32Platform platform;
  static SplashWindow splash(inst);
  static std::unique_ptr<MainWindow> main;
  // The first write to the About window's version line creates the hidden
  // main window and runs its start-up before the splash is shown.
  static Form3 form3(splash, [inst](const std::string& version) {
    if (!main) {
      main = std::make_unique<MainWindow>(inst, platform);
      main->Load();
    }
    main->SetVersionLabel(version);
  });
  form3.Form_Load();
  splash.Show([] { form3.Timer2_Timer(); });

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (ui::RouteModelessMessage(msg)) continue;
    // Tab, Enter, Escape and access keys in the About window and in every
    // other window made of controls.
    HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (root && ((main && root == main->hwnd()) || (GetWindowLongPtrA(root, GWL_EXSTYLE) & WS_EX_CONTROLPARENT)) &&
        IsDialogMessageA(root, &msg))
      continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
