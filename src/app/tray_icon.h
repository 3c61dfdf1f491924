#pragma once
#include <string>

#include "platform/tray.h"

namespace nv {

// The tray icon of the main window: its record, kept for the program's life,
// and the three operations on it.
class TrayIcon {
 public:
  explicit TrayIcon(Tray*& tray) : tray_(tray) {}
  void Prepare(std::uintptr_t window, std::uintptr_t icon);
  // Asks the shell for the icon; a refusal is asked again at the next tip.
  void Add();
  // Writes the tip and asks the shell to show it.
  void Modify(const std::string& tip);
  void Delete();
  // A balloon at the icon: something the user must hear of once.
  void Balloon(const std::string& title, const std::string& text);
  const NotifyIconRecord& Record() const { return record_; }
  // The tip as the record holds it: text, NUL, spaces up to 65 characters.
  static std::array<char, 65> TipField(const std::string& text);

 private:
  Tray*& tray_;
  NotifyIconRecord record_;
  bool shown_ = false;
};

}  // namespace nv
