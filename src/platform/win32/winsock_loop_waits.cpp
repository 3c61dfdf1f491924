// The listeners' events for a message loop that waits on them beside its
// messages, and the way back to messages while another loop runs.
#include "platform/win32/winsock_network_impl.h"

namespace nv {
namespace winsock {

// A listener starts on messages: only a loop that waits on its event moves it.
void WinsockNetwork::AddWait(SocketId listener) {
  if (HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr)) waits_.push_back({listener, event, false});
}

// Listeners closed since the last wait give their events back here. One that
// cannot report to its event stays on messages.
std::size_t WinsockNetwork::WaitOn(HANDLE* out, std::size_t max) {
  waitedOn_.clear();
  for (auto it = waits_.begin(); it != waits_.end();) {
    Entry* e = table_.Find(it->id);
    if (!e) {
      CloseHandle(it->event);
      it = waits_.erase(it);
      continue;
    }
    if (waitedOn_.size() < max && !it->onEvent)
      it->onEvent = WSAEventSelect(static_cast<SOCKET>(e->socket), it->event, FD_ACCEPT) == 0;
    if (waitedOn_.size() < max && it->onEvent) {
      out[waitedOn_.size()] = it->event;
      waitedOn_.push_back(it->id);
    }
    ++it;
  }
  return waitedOn_.size();
}

void WinsockNetwork::Signalled(std::size_t index) {
  if (index >= waitedOn_.size()) return;
  const SocketId id = waitedOn_[index];
  Entry* e = table_.Find(id);
  if (e && e->listener) Dispatch([&] { e->sink->OnConnectionRequest(id); });
}

// A listener given back to the window reports a client already waiting at
// once, as a new selection does.
void WinsockNetwork::UseMessages() {
  for (ListenerWait& w : waits_) {
    if (!w.onEvent) continue;
    w.onEvent = false;
    if (Entry* e = table_.Find(w.id)) WSAAsyncSelect(static_cast<SOCKET>(e->socket), hwnd_, e->tag, FD_ACCEPT);
  }
}

}  // namespace winsock

LoopWaits* LoopWaitsOf(Network& net) { return dynamic_cast<winsock::WinsockNetwork*>(&net); }

}  // namespace nv
