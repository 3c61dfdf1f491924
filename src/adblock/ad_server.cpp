#include "adblock/ad_server.h"

#include <algorithm>

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
  while (!slots_.empty()) Release(slots_.begin()->first);
  if (listener_ == kNoSocket) return;
  s_.platform.net->Close(listener_);
  listener_ = kNoSocket;
  adsLog_.Close();
}

int AdServer::HttpPort() { return Listening() ? s_.platform.net->LocalPort(listener_) : 0; }

AdServer::Slot* AdServer::Live(SocketId conn) {
  auto it = slots_.find(conn);
  return it == slots_.end() ? nullptr : &it->second;
}

void AdServer::Release(SocketId conn) {
  if (slots_.erase(conn)) s_.platform.net->Close(conn);
}

// One client per event: a backend tells of every waiting client in turn (a
// listener's readiness is re-armed by each accept, and Winsock's hands over
// bursts of them while they queue up), and stopping after one spares the
// refused accept that would end a loop, under Wine one call to its server per
// request. The tick takes whatever still waits, as an event can be
// lost. One from a peer other than 127.0.0.1 is closed at once instead of
// being left waiting in the listen queue.
void AdServer::wsock_ConnectionRequest(SocketId listener) { Take(listener, 1); }

void AdServer::Take(SocketId listener, int most) {
  if (listener != listener_ || !Listening()) return;
  Network& net = *s_.platform.net;
  try {
    for (int taken = 0; taken < most && AcceptOne(net); ++taken) {
    }
  } catch (const AppError& e) {
    ReportAcceptFailure(e);
  }
}

// A local client has usually sent its request by the time it is accepted:
// it is read (and answered) at once rather than on a later event.
bool AdServer::AcceptOne(Network& net) {
  std::string peer;
  const SocketId conn = net.Accept(listener_, peer);
  if (conn == kNoSocket) return false;
  lastAcceptError_ = 0;
  if (peer != kPeerAccepted) {
    net.Close(conn);
    return true;
  }
  slots_.emplace(conn, Slot{});
  peakOpen_ = std::max(peakOpen_, static_cast<int>(slots_.size()));
  wsock_DataArrival(conn);
  return Listening();  // a handler may have stopped the server
}

// The same failure repeated (say, out of sockets under a flood of clients) is
// shown and logged once, not once per waiting client.
void AdServer::ReportAcceptFailure(const AppError& e) {
  if (e.number == lastAcceptError_) return;
  lastAcceptError_ = e.number;
  ReportError(*s_.platform.dialogs, s_.store, e);
}

void AdServer::wsock_DataArrival(SocketId conn) {
  Slot* slot = Live(conn);
  if (!slot) return;
  try {
    if (slot->state == SlotState::Replying) Drain(conn);
    else ReadRequest(conn, *slot);
  } catch (const AppError& e) {
    s_.store.LogError(e);
    Release(conn);
  }
}

// Collects the request until it can be judged, then answers or closes.
void AdServer::ReadRequest(SocketId conn, Slot& slot) {
  const std::size_t room = kMaxRequestBytes - slot.request.size();
  s_.platform.net->Receive(conn, slot.request, room);
  RequestJudgement j = JudgeRequest(slot.request, slot.scanned);
  slot.scanned = slot.request.size();
  switch (j.verdict) {
    case RequestVerdict::Incomplete: return;
    case RequestVerdict::NotGet: Release(conn); return;
    case RequestVerdict::NoProtocol: throw UnparsableRequest();
    case RequestVerdict::TooLarge: throw OversizedRequest();
    case RequestVerdict::Get: Answer(conn, slot, j.target); return;
  }
}

void AdServer::Answer(SocketId conn, Slot& slot, const std::string& target) {
  adsLog_.Write(EscapeForLog(target) + " send on " + GeneralDateText(*s_.platform.clock));
  std::string reply = BuildAdResponse(s_, NormalizeTarget(target), image_);
  slot.state = SlotState::Replying;
  slot.headRead = slot.request.find("\r\n\r\n") != std::string::npos;
  slot.request = std::string();  // judged: its memory goes back at once
  s_.platform.net->Send(conn, std::move(reply));
}

// Whatever else the browser sends is read and dropped: closing a socket
// with unread bytes would reset the connection and could cost the reply.
// (A browser's GET has no body: once its head arrived whole, nothing is
// left, and the extra read is spared.)
void AdServer::Drain(SocketId conn) {
  std::string scratch;
  s_.platform.net->Receive(conn, scratch, kDrainBytes);
}

void AdServer::wsock_SendComplete(SocketId conn) {
  Slot* slot = Live(conn);
  if (!slot) return;
  if (!slot->headRead) Drain(conn);
  Release(conn);
}

// The browser closed its end. A request not yet judged is dropped; a reply
// still going out finishes unless the connection broke.
void AdServer::wsock_Close(SocketId conn, bool reset) {
  Slot* slot = Live(conn);
  if (!slot) return;
  if (slot->state == SlotState::Replying && !reset) return;
  Release(conn);
}

}  // namespace nv
