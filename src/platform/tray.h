#pragma once
#include <array>
#include <cstdint>
#include <string>

namespace nv {

// The notification-area icon record in its classic ANSI form.
struct NotifyIconRecord {
  std::uintptr_t hWnd = 0;
  std::uint32_t uID = 1;
  std::uint32_t uFlags = 7;              // message, icon and tip
  std::uint32_t uCallbackMessage = 0x200;  // arrives as the window's mouse-move message
  std::uintptr_t hIcon = 0;
  std::array<char, 65> szTip{};
};

// Shell_NotifyIconA with the add, modify and delete commands.
class Tray {
 public:
  virtual ~Tray() = default;
  virtual bool Add(const NotifyIconRecord& r) = 0;
  virtual bool Modify(const NotifyIconRecord& r) = 0;
  virtual bool Delete(const NotifyIconRecord& r) = 0;
  // A balloon at the icon with a warning sign; false when none could be shown.
  virtual bool Balloon(const NotifyIconRecord& r, const std::string& title, const std::string& text) {
    return false;
  }
};

}  // namespace nv
