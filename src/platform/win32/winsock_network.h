#pragma once
#include <windows.h>

#include <cstddef>
#include <memory>

#include "platform/net.h"

namespace nv {

// Winsock 2 sockets whose events arrive through WSAAsyncSelect as messages to
// a hidden window of their own, on the thread that made it: call this on the
// UI thread. When Winsock cannot be started, every Listen reports why.
std::unique_ptr<Network> MakeWinsockNetwork();

// A waiting client costs a window message and a round of the message loop
// for each connection. A loop that waits on the listeners' events beside its
// messages (MsgWaitForMultipleObjectsEx) takes clients without either. While
// no such loop waits (a message box, a menu or a dialog runs its own), the
// listeners go back to messages, which every loop dispatches.
class LoopWaits {
 public:
  virtual ~LoopWaits() = default;
  // The listeners' events, in use from now on; returns how many of at most
  // max were written to out.
  virtual std::size_t WaitOn(HANDLE* out, std::size_t max) = 0;
  // out[index] of the last WaitOn is signalled.
  virtual void Signalled(std::size_t index) = 0;
  // A loop that does not wait on the events runs: back to messages.
  virtual void UseMessages() = 0;
};

// The waits of a network made by MakeWinsockNetwork; nullptr for any other.
LoopWaits* LoopWaitsOf(Network& net);

}  // namespace nv
