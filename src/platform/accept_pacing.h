#pragma once

namespace nv {

// How many waiting clients a backend hands its sink per readiness report.
// Where each report is a window message (Winsock's WSAAsyncSelect), every
// accept re-arms the report, so one message per client is the floor unless
// the reports are held while a burst of clients is taken. Holding and
// re-arming cost a call each, and the accept that finds nobody one more:
// worth it only while clients queue up. So a burst starts when a probe finds
// a second client waiting and stops at the first round that empties the
// queue; probes that find nobody come ever more seldom, down to one in
// kMaxProbeGap reports, and the report after a burst probes at once.
class AcceptPacing {
 public:
  // Clients a burst takes before the message queue gets its turn again
  // (each client is one reply, about half a millisecond under Wine): with 8,
  // a message sent to the main window waited 5.4 ms (p99) under 20 clients,
  // with 5 it waits 1.7 ms, for the same number of requests a second.
  static constexpr int kBurst = 5;
  static constexpr int kMaxProbeGap = 64;

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
  int gap_ = 1;    // reports from one probe to the next
  int until_ = 1;  // reports until the next probe
};

}  // namespace nv
