#include "app/tray_icon.h"

#include <algorithm>

namespace nv {

std::array<char, 65> TrayIcon::TipField(const std::string& text) {
  std::array<char, 65> tip;
  tip.fill(' ');
  const size_t n = std::min<size_t>(text.size(), tip.size() - 1);
  std::copy_n(text.begin(), n, tip.begin());
  tip[n] = '\0';
  return tip;
}

void TrayIcon::Prepare(std::uintptr_t window, std::uintptr_t icon) {
  record_ = NotifyIconRecord{};
  record_.hWnd = window;
  record_.hIcon = icon;
  record_.szTip = TipField("Norvane!");
}

void TrayIcon::Add() {
  if (tray_) shown_ = tray_->Add(record_);
}

// A program started at log-on can come before the taskbar: the shell then
// refuses the icon, and every tip update asks for it again until it is there.
// An icon lost some other way (the modify fails) is asked for again too.
void TrayIcon::Modify(const std::string& tip) {
  record_.szTip = TipField(tip);
  if (!tray_) return;
  if (!shown_ || !tray_->Modify(record_)) shown_ = tray_->Add(record_);
}

void TrayIcon::Delete() {
  if (tray_) tray_->Delete(record_);
}

void TrayIcon::Balloon(const std::string& title, const std::string& text) {
  if (tray_) tray_->Balloon(record_, title, text);
}

}  // namespace nv
