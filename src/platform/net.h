#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/errors.h"

namespace nv {

// Socket failures the program tells apart, numbered as Winsock numbers them
// on every platform, with the texts that the logs and boxes show.
namespace neterr {
inline constexpr int kAccessDenied = 10013;
inline constexpr int kTooManySockets = 10024;
inline constexpr int kAddressInUse = err::kAddressInUse;
inline constexpr int kAddressNotAvailable = 10049;
inline constexpr int kNetworkUnreachable = 10051;
inline constexpr int kNoBuffers = 10055;
inline constexpr int kTimedOut = 10060;
inline constexpr int kConnectionRefused = 10061;
inline constexpr int kHostUnreachable = 10065;
inline constexpr int kHostNotFound = 11001;
inline constexpr int kTryAgain = 11002;
inline constexpr int kNoRecovery = 11003;
inline constexpr int kNoData = 11004;
// Not a failure: nothing can be done on the socket without waiting.
inline constexpr int kWouldBlock = 10035;
inline constexpr char kSource[] = "Winsock";
// The text for one of the numbers above; nullptr for any other.
inline const char* Text(int number) {
  switch (number) {
    case kAccessDenied: return "Permission denied";
    case kTooManySockets: return "Too many open sockets";
    case kAddressInUse: return "Address in use";
    case kAddressNotAvailable: return "Address not available";
    case kNetworkUnreachable: return "Network is unreachable";
    case kNoBuffers: return "No buffer space available";
    case kTimedOut: return "Connection timed out";
    case kConnectionRefused: return "Connection refused";
    case kHostUnreachable: return "No route to host";
    case kHostNotFound: return "Host not found";
    case kTryAgain: return "Nonauthoritative host not found";
    case kNoRecovery: return "Nonrecoverable error";
    case kNoData: return "Valid name, no data record of requested type";
    default: return nullptr;
  }
}
// The failure with one of the numbers above.
inline AppError Error(int number) {
  const char* text = Text(number);
  return AppError(number, text ? text : "Socket error", kSource);
}
}  // namespace neterr

// A socket of the network seam. Ids are never reused within a run, so a late
// event for a socket that was closed can never reach a newer one.
using SocketId = std::uint64_t;
inline constexpr SocketId kNoSocket = 0;

// Receives the events of the sockets it owns (a listener's sink also owns the
// connections accepted from it). Events arrive on the UI thread, one at a
// time, never from inside a call to Network; none arrives for a closed socket.
class NetSink {
 public:
  virtual ~NetSink() = default;
  // A client waits on the listener; take it with Accept.
  virtual void OnConnectionRequest(SocketId listener) = 0;
  // Bytes have arrived (or the peer's end was reached): take them with
  // Receive. Bytes left unread are offered again by a later event.
  virtual void OnDataArrival(SocketId conn) = 0;
  // Everything handed to Send has been passed to the system.
  virtual void OnSendComplete(SocketId conn) = 0;
  // The peer closed its end (reset false: sending may still work) or the
  // connection broke (reset true: nothing more can be sent, and a pending
  // Send will not complete). The socket stays allocated until Close.
  virtual void OnPeerClosed(SocketId conn, bool reset) = 0;
};

// Receives the outcome of an outgoing connection: exactly one of the two
// events, on the UI thread, never from inside a call to Network, and none
// once the attempt was closed.
class ConnectSink {
 public:
  virtual ~ConnectSink() = default;
  // The connection is made; peerAddress is the dotted IPv4 address reached.
  virtual void OnConnected(SocketId conn, const std::string& peerAddress) = 0;
  // The name did not resolve to an IPv4 address, no address took the
  // connection, or the time limit passed.
  virtual void OnConnectFailed(SocketId conn, const AppError& error) = 0;
};

// A Connect limit that sets none of the program's own: the system's time-outs
// for the name lookup and the connect decide (21 s on Windows, minutes
// elsewhere), as a site that is merely slow must still be reachable.
inline constexpr int kSystemTimeouts = 0;

// What a trial connection found at an address and port.
enum class PortProbe {
  Answered,  // a program accepted the connection: the port is taken
  Refused,   // nothing listens there
  NoAnswer,  // nothing within the time limit: no sign of a listener
};

// Event-driven IPv4 TCP: what the local web server needs. Every call but
// Probe returns at once; failures that concern the whole socket throw
// AppError.
class Network {
 public:
  virtual ~Network() = default;
  // Binds address:port (port 0: any free port) and listens. Throws AppError
  // 10048 when the address is in use; any other failure throws its own number.
  virtual SocketId Listen(const std::string& address, int port, NetSink& sink) = 0;
  // The local port a listener is bound to; 0 for an unknown socket.
  virtual int LocalPort(SocketId listener) = 0;
  // Takes one waiting connection and gives the peer's dotted address. Returns
  // kNoSocket when none waits any more (a client that gave up while queued).
  virtual SocketId Accept(SocketId listener, std::string& peerAddress) = 0;
  // Appends up to max bytes that have arrived to into; returns how many (0:
  // nothing now, or the peer's end).
  virtual std::size_t Receive(SocketId conn, std::string& into, std::size_t max) = 0;
  // Queues bytes for the peer. OnSendComplete follows once all of them have
  // been passed on (also for none), or OnPeerClosed with reset when the
  // connection broke first.
  virtual void Send(SocketId conn, std::string bytes) = 0;
  // Closes the socket and forgets it; unknown ids are ignored.
  virtual void Close(SocketId s) = 0;
  // Resolves host (a name, or a dotted IPv4 address) to its IPv4 addresses
  // and connects to port, trying them in order, without waiting: the outcome
  // follows as an event, at the latest limitMs from now (limitMs 0 or less:
  // when the system gives up, kSystemTimeouts). Bad input fails the
  // same way. The connection carries no data; it stays open until Close,
  // which also abandons an attempt still under way.
  virtual SocketId Connect(const std::string& host, int port, int limitMs, ConnectSink& sink) = 0;
  // Connects to address:port and closes again at once, waiting at most
  // limitMs. A listener answers however it is bound (0.0.0.0 or the address
  // itself, any program or account), which a bind cannot be relied on to tell.
  virtual PortProbe Probe(const std::string& address, int port, int limitMs) = 0;
};

}  // namespace nv
