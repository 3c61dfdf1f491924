#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "adblock/hosts_redirect.h"
#include "store/services.h"

namespace nv {

// Notices the HOSTS file replaced behind Norvane's back while ads are
// blocked (Windows Defender resetting it, another tool, the user's editor)
// and writes the block lines back once, through HostsRedirect, so that the
// other program's own lines count as the user's and come back when blocking
// goes off. A file replaced again within a minute of that is a fight that
// cannot be won: Norvane stops, says so, and switches ad blocking off.
//
// The look is cheap: the file's size and write time, at most every three
// seconds, against the stamp of Norvane's own last write.
class HostsWatch {
 public:
  struct Reactions {
    std::function<void(const std::string& text)> tell;  // once, at the tray icon
    std::function<void()> giveUp;                       // unticks "Block &Ads"
  };
  HostsWatch(Services& services, HostsRedirect& hosts, Reactions reactions)
      : s_(services), hosts_(hosts), on_(std::move(reactions)) {}

  // Every tick, with the state of "Block &Ads".
  void Tick(bool blocking);

  static constexpr std::uint64_t kLookEveryMs = 3000;
  static constexpr std::uint64_t kUndoneWithinMs = 60000;
  static constexpr char kWroteBack[] =
      "Another program replaced the HOSTS file while ads were blocked (Windows Defender, another tool or an "
      "editor). Norvane! wrote its block lines back; that program's own lines come back when ad blocking goes "
      "off.";
  static constexpr char kGaveUp[] =
      "The HOSTS file was replaced again within a minute of Norvane! writing it back. Norvane! stopped rewriting "
      "it and switched Block Ads off; your own HOSTS lines are back.";

 private:
  void Changed(std::uint64_t now);
  void Log(const std::string& what);

  Services& s_;
  HostsRedirect& hosts_;
  Reactions on_;
  bool watching_ = false;
  bool stopped_ = false;
  std::uint64_t lookedAt_ = 0;
  std::optional<std::uint64_t> wroteBackAt_;
};

}  // namespace nv
