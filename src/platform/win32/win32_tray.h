#pragma once
#include "platform/tray.h"

namespace nv {

// Shell_NotifyIconA with the classic record size and the icon's uID.
class Win32Tray : public Tray {
 public:
  bool Add(const NotifyIconRecord& r) override;
  bool Modify(const NotifyIconRecord& r) override;
  bool Delete(const NotifyIconRecord& r) override;
  bool Balloon(const NotifyIconRecord& r, const std::string& title, const std::string& text) override;
};

}  // namespace nv
