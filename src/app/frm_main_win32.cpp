#include "app/frm_main_win32.h"

#include "app/frm_help_win32.h"
#include "product/resource_ids.h"
#include "app/tray_menu.h"
#include "store/paths.h"
#include "ui/controls_win32.h"
#include "platform/win32/win32_message_filter.h"
#include "platform/window_barrier.h"

namespace nv {

namespace {
constexpr char kPanelClass[] = "NorvaneAboutPanel";
constexpr UINT_PTR kTickTimer = 1;
constexpr int kCmdOk = 1001;
constexpr int kLabel2 = 1002;  // the end-to-end tests read the labels by number
constexpr int kLabel4 = 1004;
constexpr int kMenuBase = 3000;  // menu item numbers: kMenuBase + MenuCommand
constexpr UINT kSettingsClosed = WM_APP + 10;
constexpr int kClientW = 380, kClientH = 250;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr char kThanks[] =
    "We would like to thank all the beta testers for making this a great program. Your reports "
    "of missed banners, stubborn popups and cookies that came back shaped every release.";

void RegisterClasses(HINSTANCE inst, WNDPROC main, WNDPROC panel) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = main;
  wc.hInstance = inst;
  wc.hIcon = ui::ProgramIcon(32);
  wc.hIconSm = ui::ProgramIcon(16);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = MainWindow::kClass;
  RegisterClassExA(&wc);
  wc.lpfnWndProc = panel;
  wc.hIcon = wc.hIconSm = nullptr;
  wc.lpszClassName = kPanelClass;
  RegisterClassExA(&wc);
}
}  // namespace

MainWindow::MainWindow(HINSTANCE inst, Win32Platform& platform)
    : inst_(inst), platform_(platform), updateViews_(inst) {
  RegisterClasses(inst, Proc, PanelProc);
  const SIZE outer = ui::OuterSize(kStyle, 0, kClientW, kClientH);
  hwnd_ = CreateWindowExA(0, kClass, kCaption, kStyle, CW_USEDEFAULT, CW_USEDEFAULT, outer.cx, outer.cy,
                          nullptr, nullptr, inst, this);
  platform_.shell.owner = hwnd_;
  taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");
  // Explorer runs unelevated; the broadcast must reach this elevated window.
  if (taskbarCreated_) AllowMessageFromLowerIntegrity(hwnd_, taskbarCreated_);
  BuildAboutControls();
  BuildTrayMenu();
  ui::CenterOnScreen(hwnd_);
  core_ = std::make_unique<frmMain>(platform_.platform, *this);
  link_ = std::make_unique<FrmMainLink>(*core_);
  // What a window procedure's barrier catches goes to "\err.log".
  SetBarrierLog([core = core_.get()](const AppError& e) { core->store.LogError(e); });
}

// The About content sits on a panel covering the whole client area, so that
// pointer moves over the window reach the panel and never the main window,
// whose mouse-move message number doubles as the tray callback.
void MainWindow::BuildAboutControls() {
  panel_ = CreateWindowExA(WS_EX_CONTROLPARENT, kPanelClass, "", WS_CHILD | WS_VISIBLE, 0, 0, kClientW,
                           kClientH, hwnd_, nullptr, inst_, this);
  HWND icon = ui::Child(panel_, "STATIC", "", SS_ICON, 16, 16, 32, 32);
  SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(ui::ProgramIcon(32)), 0);
  label4_ = ui::Child(panel_, "STATIC", "", SS_LEFT, 64, 24, 300, 20, kLabel4);
  SendMessageA(label4_, WM_SETFONT, reinterpret_cast<WPARAM>(ui::BoldFont()), FALSE);
  ui::Child(panel_, "BUTTON", "Thank You!", BS_GROUPBOX, 16, 60, 348, 100);
  ui::Child(panel_, "STATIC", kThanks, SS_LEFT, 28, 80, 324, 72);
  label2_ = ui::Child(panel_, "STATIC", "", SS_LEFT, 16, 172, 348, 20, kLabel2);
  ui::Child(panel_, "BUTTON", "&OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 284, 208, 80, 26, kCmdOk);
}

void MainWindow::Load() {
  core_->Form_Load();
  if (!core_->Ended()) SetTimer(hwnd_, kTickTimer, kTickMs, nullptr);
}

void MainWindow::SetVersionLabel(const std::string& text) { SetWindowTextA(label4_, text.c_str()); }
void MainWindow::SetStatusLabel(const std::string& text) { SetWindowTextA(label2_, text.c_str()); }

void MainWindow::SetAboutVisible(bool visible) {
  ShowWindow(hwnd_, visible ? SW_SHOWNORMAL : SW_HIDE);
  if (visible) SetForegroundWindow(hwnd_);
}

void MainWindow::BuildTrayMenu() {
  menu_ = CreatePopupMenu();
  for (const MenuEntry& e : kTrayMenu) {
    if (e.command == MenuCommand::None) AppendMenuA(menu_, MF_SEPARATOR, 0, nullptr);
    else AppendMenuA(menu_, MF_STRING, kMenuBase + static_cast<int>(e.command), e.caption);
  }
}

std::uintptr_t MainWindow::IconHandle() { return reinterpret_cast<std::uintptr_t>(ui::ProgramIcon(16)); }

void MainWindow::SetMenuCheck(MenuItem item, bool checked) {
  const MenuCommand command = item == MenuItem::BlockAds      ? MenuCommand::BlockAds
                              : item == MenuItem::KillCookies ? MenuCommand::KillCookies
                                                              : MenuCommand::BlockPopups;
  CheckMenuItem(menu_, kMenuBase + static_cast<int>(command), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

// The owner must be in front while the menu is up, and must get a message
// afterwards, or the menu would stay open when the user clicks elsewhere.
void MainWindow::ShowTrayMenu() {
  POINT pt{};
  GetCursorPos(&pt);
  SetForegroundWindow(hwnd_);
  TrackPopupMenu(menu_, TPM_LEFTALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, 0, hwnd_, nullptr);
  PostMessageA(hwnd_, WM_NULL, 0, 0);
}

void MainWindow::ShowHelp() {
  HelpWindow::Show(inst_, platform_.files, core_->store.Path(paths::kHelpText));
}

// One settings dialog at a time: asking again brings it forward. A closed
// dialog is freed once its window is gone (kSettingsClosed).
void MainWindow::ShowSettings() {
  if (settings_ && settings_->IsOpen()) {
    settings_->BringForward();
    return;
  }
  settings_ = std::make_unique<SettingsWindow>(inst_, core_->Shared(), core_->Startup(), *link_, hwnd_,
                                               kSettingsClosed);
  settings_->Open();
}

void MainWindow::CloseSettings() {
  if (settings_ && settings_->IsOpen()) settings_->Close();
}

void MainWindow::OnCommand(int id) {
  if (id == kCmdOk) core_->cmdOk_Click();
  else if (id > kMenuBase) core_->OnMenuCommand(static_cast<MenuCommand>(id - kMenuBase));
}

LRESULT MainWindow::Handle(UINT m, WPARAM w, LPARAM l) {
  if (m == taskbarCreated_ && m != 0) {
    core_->OnTaskbarCreated();
    return 0;
  }
  switch (m) {
    case kSettingsClosed:
      if (settings_ && !settings_->IsOpen()) settings_.reset();
      return 0;
    case WM_MOUSEMOVE:
      // The tray callback: the tray event stands where the x position would.
      core_->Form_MouseMove(static_cast<int>(LOWORD(l)));
      return 0;
    case WM_TIMER:
      if (w == kTickTimer) core_->Timer_Timer();
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(w));
      return 0;
    case WM_CLOSE: {
      int cancel = 0;
      core_->Form_QueryUnload(cancel, 0);
      return 0;
    }
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      // The process is ended right after this returns: put HOSTS back first.
      if (w) core_->ExitSequence();
      return 0;
  }
  return DefWindowProcA(hwnd_, m, w, l);
}

LRESULT CALLBACK MainWindow::Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTA*>(l)->lpCreateParams);
    self->hwnd_ = h;
    SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(h, GWLP_USERDATA));
  if (!self || !self->core_) return DefWindowProcA(h, m, w, l);
  return CallBarrier<LRESULT>("main window", [&] { return self->Handle(m, w, l); },
                              [&] { return DefWindowProcA(h, m, w, l); });
}

LRESULT CALLBACK MainWindow::PanelProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_COMMAND) return SendMessageA(GetParent(h), m, w, l);
  return DefWindowProcA(h, m, w, l);
}

}  // namespace nv
