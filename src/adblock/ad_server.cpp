#include "adblock/ad_server.h"

#include "adblock/ad_reply.h"
#include "adblock/ad_request.h"
#include "adblock/port_guard.h"
#include "platform/dialogs.h"
#include "store/error_box.h"
#include "store/log_texts.h"
#include "store/paths.h"

namespace nv {

namespace {
constexpr char kPortTaken[] =
    "A webserver is already running on port 80, for best results please stop the server and "
    "restart this application";
constexpr char kPeerAccepted[] = "127.0.0.1";
constexpr std::size_t kDrainBytes = 64 * 1024;
}  // namespace

AdServer::AdServer(Services& services)
    : s_(services),
      https_(services),
      adsLog_(services.store, services.platform, services.store.Path(paths::kAdsLog)) {}

AdServer::~AdServer() {
  if (s_.platform.net) StopAdServer();
}

void AdServer::StartAdServer() {
  StopAdServer();
  try {
    listener_ = ListenUnlessTaken(*s_.platform.net, "127.0.0.1", httpPort_, *this);
  } catch (const AppError& e) {
    s_.store.LogError(e);
    if (IsPortTaken(e)) {
      s_.platform.dialogs->Show(kPortTaken, "Error", kBoxOk);
      if (onPortTaken_) onPortTaken_();
      return;
    }
    ShowErrorBox(*s_.platform.dialogs, e);
  }
  https_.Start(httpsPort_);
}

void AdServer::StopAdServer() {
  https_.Stop();
  for (int i = 1; i < static_cast<int>(slots_.size()); ++i)
    if (slots_[i].state != SlotState::Free) Release(i);
  if (listener_ == kNoSocket) return;
  s_.platform.net->Close(listener_);
  listener_ = kNoSocket;
  adsLog_.Close();
}

int AdServer::HttpPort() { return Listening() ? s_.platform.net->LocalPort(listener_) : 0; }

AdServer::Slot* AdServer::Live(int Index) {
  if (Index < 1 || Index >= static_cast<int>(slots_.size())) return nullptr;
  Slot& slot = slots_[Index];
  return slot.state == SlotState::Free ? nullptr : &slot;
}

int AdServer::IndexOf(SocketId sock) const {
  auto it = bySocket_.find(sock);
  return it == bySocket_.end() ? -1 : it->second;
}

int AdServer::Allocate(SocketId sock) {
  int index;
  if (!free_.empty()) {
    index = free_.back();
    free_.pop_back();
  } else {
    index = static_cast<int>(slots_.size());
    slots_.emplace_back();
  }
  slots_[index].sock = sock;
  slots_[index].state = SlotState::Reading;
  bySocket_.emplace(sock, index);
  ++open_;
  return index;
}

void AdServer::Release(int Index) {
  Slot* slot = Live(Index);
  if (!slot) return;
  s_.platform.net->Close(slot->sock);
  bySocket_.erase(slot->sock);
  slot->sock = kNoSocket;
  slot->state = SlotState::Free;
  slot->scanned = 0;
  slot->headRead = false;
  slot->request.clear();
  // A slot that held a large request gives its memory back.
  if (slot->request.capacity() > 1024) slot->request.shrink_to_fit();
  free_.push_back(Index);
  --open_;
}

// Every connection is accepted: one from a peer other than 127.0.0.1 is
// closed at once instead of being left waiting in the listen queue.
void AdServer::wsock_ConnectionRequest(int Index) {
  if (Index != 0 || !Listening()) return;
  Network& net = *s_.platform.net;
  try {
    // One per event: taking more would cost a failed accept per event, and
    // the system posts the event again for each client still waiting.
    AcceptOne(net);
  } catch (const AppError& e) {
    ReportAcceptFailure(e);
  }
}

// A local client has usually sent its request by the time it is accepted:
// it is read (and answered) at once rather than on a later event.
void AdServer::AcceptOne(Network& net) {
  std::string peer;
  const SocketId conn = net.Accept(listener_, peer);
  if (conn == kNoSocket) return;
  lastAcceptError_ = 0;
  if (peer != kPeerAccepted) net.Close(conn);
  else wsock_DataArrival(Allocate(conn));
}

// The same failure repeated (say, out of sockets under a flood of clients) is
// shown and logged once, not once per waiting client.
void AdServer::ReportAcceptFailure(const AppError& e) {
  if (e.number == lastAcceptError_) return;
  lastAcceptError_ = e.number;
  ReportError(*s_.platform.dialogs, s_.store, e);
}

void AdServer::wsock_DataArrival(int Index) {
  Slot* slot = Live(Index);
  if (!slot) return;
  try {
    if (slot->state == SlotState::Replying) Drain(*slot);
    else ReadRequest(Index, *slot);
  } catch (const AppError& e) {
    s_.store.LogError(e);
    Release(Index);
  }
}

// Collects the request until it can be judged, then answers or closes.
void AdServer::ReadRequest(int Index, Slot& slot) {
  const std::size_t room = kMaxRequestBytes - slot.request.size();
  s_.platform.net->Receive(slot.sock, slot.request, room);
  RequestJudgement j = JudgeRequest(slot.request, slot.scanned);
  slot.scanned = slot.request.size();
  switch (j.verdict) {
    case RequestVerdict::Incomplete: return;
    case RequestVerdict::NotGet: Release(Index); return;
    case RequestVerdict::NoProtocol: throw UnparsableRequest();
    case RequestVerdict::TooLarge: throw OversizedRequest();
    case RequestVerdict::Get: Answer(slot, j.target); return;
  }
}

void AdServer::Answer(Slot& slot, const std::string& target) {
  adsLog_.Write(EscapeForLog(target) + " send on " + GeneralDateText(*s_.platform.clock));
  std::string reply = BuildAdResponse(s_, NormalizeTarget(target), image_);
  slot.state = SlotState::Replying;
  slot.headRead = slot.request.find("\r\n\r\n") != std::string::npos;
  s_.platform.net->Send(slot.sock, std::move(reply));
}

// Whatever else the browser sends is read and dropped: closing a socket
// with unread bytes would reset the connection and could cost the reply.
// (A browser's GET has no body: once its head arrived whole, nothing is
// left, and the extra read is spared.)
void AdServer::Drain(Slot& slot) {
  std::string scratch;
  s_.platform.net->Receive(slot.sock, scratch, kDrainBytes);
}

void AdServer::wsock_SendComplete(int Index) {
  Slot* slot = Live(Index);
  if (!slot) return;
  if (!slot->headRead) Drain(*slot);
  Release(Index);
}

// The browser closed its end. A request not yet judged is dropped; a reply
// still going out finishes unless the connection broke.
void AdServer::wsock_Close(int Index, bool reset) {
  Slot* slot = Live(Index);
  if (!slot) return;
  if (slot->state == SlotState::Replying && !reset) return;
  Release(Index);
}

void AdServer::OnConnectionRequest(SocketId listener) {
  if (listener == listener_) wsock_ConnectionRequest(0);
}
void AdServer::OnDataArrival(SocketId conn) { wsock_DataArrival(IndexOf(conn)); }
void AdServer::OnSendComplete(SocketId conn) { wsock_SendComplete(IndexOf(conn)); }
void AdServer::OnPeerClosed(SocketId conn, bool reset) { wsock_Close(IndexOf(conn), reset); }

}  // namespace nv
