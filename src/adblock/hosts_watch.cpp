#include "adblock/hosts_watch.h"

#include "platform/clock.h"
#include "platform/file_probe.h"
#include "store/log_texts.h"

namespace nv {

void HostsWatch::Tick(bool blocking) {
  // Only a file Norvane wrote its block lines into is watched: after a
  // failed or refused write there is nothing of Norvane's to keep.
  if (!blocking) {
    watching_ = stopped_ = false;
    wroteBackAt_.reset();
    return;
  }
  if (stopped_ || !hosts_.HoldsBlockList() || !s_.platform.fileProbe) {
    watching_ = false;
    return;
  }
  const std::uint64_t now = s_.platform.clock->TickMs();
  if (!watching_) {
    watching_ = true;
    lookedAt_ = now;
    return;
  }
  if (now - lookedAt_ < kLookEveryMs) return;
  lookedAt_ = now;
  if (s_.platform.fileProbe->Stamp(hosts_.Path()) != hosts_.LastWritten()) Changed(now);
}

void HostsWatch::Changed(std::uint64_t now) {
  if (wroteBackAt_ && now - *wroteBackAt_ < kUndoneWithinMs) {
    Log("HOSTS file replaced again by another program; Norvane! stopped rewriting it and switched ad blocking off");
    stopped_ = true;  // until ad blocking is switched on again
    on_.tell(kGaveUp);
    on_.giveUp();
    return;
  }
  wroteBackAt_ = now;
  // A failure goes to the tick's trap; the next look finds the file still
  // changed and gives up.
  hosts_.blockads(true);
  Log("HOSTS file replaced by another program; the block lines were written back");
  on_.tell(kWroteBack);
}

void HostsWatch::Log(const std::string& what) {
  hosts_.LogActivity(what + " on " + GeneralDateText(*s_.platform.clock));
}

}  // namespace nv
