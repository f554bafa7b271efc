// The program's HTTP client: URL splitting, IPv4 host resolution and one
// fetch over a TCP socket to port 80.
//
// The client builds no request text, reads no header, follows no redirect
// and keeps no connection: HttpRequest sends the caller's text unchanged and
// hands every block of received bytes (at most kReceiveBufferSize at a time)
// to the caller's handler until the peer closes, a receive fails or times
// out, the fetch deadline passes, or the handler returns false.
//
// Errors: ResolveHost and HttpRequest raise velt::Error (platform/Error.h)
// carrying a message text: "[host] IS INVALID ADDRSS." for a host that does
// not resolve, otherwise the system's text for the failing call's error code
// (no trailing blanks, control characters or "."). An error the handler
// raises leaves HttpRequest as a velt::Error with the same text. SplitUrl,
// IsByteNumber and IsDottedQuad answer with Booleans and never raise.
//
// Thread safety: every function may be called from any number of threads at
// once. Each fetch owns its socket and buffer for the length of the call and
// closes the socket on every path; host lookups use the re-entrant resolver
// interfaces. The handler runs on the calling thread. NetStartup and
// NetCleanup keep their place at program start and end; on this platform
// sockets need no process-wide registration, so they hold no state.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

namespace velt {

// Called with the bytes of one receive (count >= 1). The bytes are valid only
// during the call. Return true to go on receiving, false to stop.
using ReceiveHandler = std::function<bool(const char* bytes, int count)>;

inline constexpr int kHttpPort = 80;
inline constexpr int kReceiveBufferSize = 1025;

// A server that accepts and then never answers must not hold a worker
// forever: connect, the send and every wait for data are bounded by
// kHttpIoTimeout, and a whole fetch by kHttpFetchDeadline, which also stops
// a server that drips a byte just before every time-out.
inline constexpr std::chrono::milliseconds kHttpIoTimeout{std::chrono::seconds(30)};
inline constexpr std::chrono::milliseconds kHttpFetchDeadline{std::chrono::minutes(3)};

struct HttpTimeouts {
  // connect and send; a connect that does not finish in time raises.
  std::chrono::milliseconds io = kHttpIoTimeout;
  // Each wait for data; when it passes, the fetch ends like an orderly close.
  std::chrono::milliseconds receive = kHttpIoTimeout;
  // The whole call; when it passes, the fetch ends like an orderly close.
  std::chrono::milliseconds fetch = kHttpFetchDeadline;
};

// Splits "http://host/path" into host and path ("/" when the URL has none).
// The scheme prefix is case-sensitive and must start the URL; on false host
// and path are left as they were. Nothing else is checked: a port, query or
// fragment stays in whichever part it falls into.
bool SplitUrl(const std::string& url, std::string& host, std::string& path);

// The text is an integer from 0 to 255 under the program's general
// text-to-integer rules: leading spaces, then either an optional sign and
// decimal digits or a hexadecimal prefix ("$", "x", "X", "0x", "0X") and hex
// digits; nothing may follow; empty text and 32-bit overflow fail.
bool IsByteNumber(const std::string& text);

// Four IsByteNumber pieces joined by exactly three dots.
bool IsDottedQuad(const std::string& text);

// The host's first IPv4 address in network byte order. A dotted quad is
// accepted only when an address-to-host lookup finds an entry for it; a
// name is looked up as given. Raises "[host] IS INVALID ADDRSS." otherwise.
std::uint32_t ResolveHost(const std::string& host);

// Connects to port 80 of the host, sends the request with one send and
// feeds received blocks to the handler. Returns true whenever it returns;
// failures raise (see above). A receive error or time-out ends the fetch
// like an orderly close.
bool HttpRequest(const std::string& host, const std::string& request,
                 const ReceiveHandler& handler, const HttpTimeouts& timeouts = {});

void NetStartup();
void NetCleanup();

}  // namespace velt
