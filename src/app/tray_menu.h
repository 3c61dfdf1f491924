#pragma once

namespace nv {

enum class MenuCommand {
  None,  // a separator
  Help,
  Settings,
  Online,
  Beta,
  LiveUpdate,
  About,
  BlockAds,
  KillCookies,
  BlockPopups,
  Exit,
};

struct MenuEntry {
  MenuCommand command;
  const char* caption;
};

// The tray menu "&Configure", in order, with its access keys.
inline constexpr MenuEntry kTrayMenu[] = {
    {MenuCommand::Help, "&Help"},
    {MenuCommand::Settings, "&Settings"},
    {MenuCommand::Online, "O&nline Support Forum"},
    {MenuCommand::Beta, "&BETA TEST FORUM"},
    {MenuCommand::LiveUpdate, "&Live Update"},
    {MenuCommand::About, "&About"},
    {MenuCommand::None, "-"},
    {MenuCommand::BlockAds, "Block &Ads"},
    {MenuCommand::KillCookies, "Kill &Cookies"},
    {MenuCommand::BlockPopups, "Block &Popups"},
    {MenuCommand::None, "-"},
    {MenuCommand::Exit, "&Exit"},
};
inline constexpr char kTrayMenuTitle[] = "&Configure";

// Tray events as the shell reports them in the callback.
namespace tray_event {
constexpr int kLeftDown = 0x201;
constexpr int kLeftDoubleClick = 0x203;
constexpr int kRightDown = 0x204;
constexpr int kContextMenu = 0x007B;  // the keyboard's menu key on the icon
constexpr int kKeySelect = 0x401;     // Enter or space on the icon
}  // namespace tray_event

}  // namespace nv
