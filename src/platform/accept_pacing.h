#pragma once

namespace nv {

// How many waiting clients a backend hands its sink per readiness report.
// Where each report is a window message (Winsock's WSAAsyncSelect), every
// accept re-arms the report, so one message per client is the floor unless
// the reports are held while a burst of clients is taken. Holding and
// re-arming cost a call each, and the accept that finds nobody one more:
// worth it only while clients queue up, so a burst starts when a probe finds
// a second client waiting and stops at the first round that empties the queue.
class AcceptPacing {
 public:
  // Clients a burst takes before the message queue gets its turn again
  // (each client is one reply, about half a millisecond under Wine).
  static constexpr int kBurst = 8;
  // One report in this many, outside a burst, looks for a second client.
  static constexpr int kProbeEvery = 16;

  struct Round {
    int most = 1;       // clients to take
    bool hold = false;  // hold the listener's reports while taking them
  };

  Round Next();
  // After a round: how many clients it took.
  void Took(const Round& round, int taken);
  bool Bursting() const { return bursting_; }

 private:
  bool bursting_ = false;
  int sinceProbe_ = 0;
};

}  // namespace nv
