// The program's HTTP client: URL splitting, IPv4 host resolution and one
// fetch over a TCP socket, in plain text or over TLS (FetchTarget.h says
// which URL goes where).
//
// The client builds no request text, reads no header, follows no redirect
// and keeps no connection: HttpRequest sends the caller's text unchanged and
// hands every block of received bytes (at most kReceiveBufferSize at a time)
// to the caller's handler until the peer closes or the handler returns
// false. A receive that fails or waits longer than its time-out, and a
// fetch that outlasts its deadline, raise: what arrived is not the answer.
//
// HTTPS: TLS 1.2 or later with the host as server name; the certificate
// chain and the host name (or address) are verified against the trusted
// authorities of OpenSSL's default paths, the system's unless the standard
// SSL_CERT_FILE or SSL_CERT_DIR environment variables name others (read at
// the first HTTPS fetch of the process; tests point them at their own
// authority).
//
// Errors: ResolveHost and HttpRequest raise velt::Error (platform/Error.h)
// carrying a message text: "[host] IS INVALID ADDRSS." for a host that does
// not resolve, "[host] LOOKUP TIMED OUT" for a lookup that outlasts the
// connect time-out or the deadline, kFetchDeadlineText, "[host]
// CERTIFICATE REFUSED: reason" and "[host] TLS FAILED: reason", otherwise
// the system's text for the failing call's error code (no trailing blanks,
// control characters or "."; a receive time-out gives that of ETIMEDOUT). An
// error the handler raises leaves HttpRequest as a velt::Error with the same
// text. A proxy's refusal is raised as ProxyRefusal, as waiting does not
// heal it. SplitUrl, IsByteNumber and IsDottedQuad answer with Booleans and
// never raise.
//
// Thread safety: every function may be called from any number of threads at
// once. Each fetch owns its socket and buffer for the length of the call and
// closes the socket on every path; host lookups use the re-entrant resolver
// interfaces, each on a helper thread that a fetch stops waiting for at its
// limit. The handler runs on the calling thread. NetStartup and
// NetCleanup keep their place at program start and end; on this platform
// sockets need no process-wide registration, so they hold no state.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "net/FetchTarget.h"
#include "net/ProxyServer.h"
#include "platform/Error.h"

namespace velt {

// Called with the bytes of one receive (count >= 1). The bytes are valid only
// during the call. Return true to go on receiving, false to stop.
using ReceiveHandler = std::function<bool(const char* bytes, int count)>;

inline constexpr int kReceiveBufferSize = 1025;

// A proxy refused the fetch (see HttpRequest): its status line, never a
// credential, in the text.
class ProxyRefusal : public Error {
 public:
  using Error::Error;
};
inline constexpr char kFetchDeadlineText[] = "FETCH DEADLINE PASSED";

// A server that accepts and then never answers must not hold a worker
// forever: the lookup, connect, the TLS handshake, the send and every wait
// for data are bounded by kHttpIoTimeout, and a whole fetch by
// kHttpFetchDeadline, which also stops a server that drips a byte just
// before every time-out.
inline constexpr std::chrono::milliseconds kHttpIoTimeout{std::chrono::seconds(30)};
inline constexpr std::chrono::milliseconds kHttpFetchDeadline{std::chrono::minutes(3)};

// Shutdown's limit for the fetches still running, so that closing never
// waits for a slow or silent site: once `at` has passed, every fetch under
// way (noticed within kFetchCutoffCheck) and every one started later fails
// with kFetchAbandonedText. LiftFetchCutoff takes the limit away again.
// Safe from any thread.
inline constexpr char kFetchAbandonedText[] = "FETCH ABANDONED AT SHUTDOWN";
inline constexpr std::chrono::milliseconds kFetchCutoffCheck{250};
void SetFetchCutoff(std::chrono::steady_clock::time_point at);
void LiftFetchCutoff();

struct HttpTimeouts {
  // Lookup, connect, handshake and send, each.
  std::chrono::milliseconds io = kHttpIoTimeout;
  // Each wait for data.
  std::chrono::milliseconds receive = kHttpIoTimeout;
  // The whole call.
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

using HostResolver = std::function<std::uint32_t(const std::string& host)>;

// resolve(host) on a helper thread, waited for until the deadline, as the
// system's lookup has no time limit of its own. When the deadline passes
// first it raises "[host] LOOKUP TIMED OUT"; the lookup then ends on its
// own and its result is dropped. While 64 lookups are still running it
// raises the same at once. Errors of resolve are raised as they came.
std::uint32_t ResolveHostWithin(const std::string& host, std::chrono::steady_clock::time_point deadline,
                                const HostResolver& resolve = ResolveHost);

// ResolveHostWithin, with each address found kept for a minute (failures
// are not kept): a crawl asks for the same host hundreds of times a
// second, and the system's lookup keeps nothing between calls. Any thread.
std::uint32_t ResolveHostCached(const std::string& host, std::chrono::steady_clock::time_point deadline,
                                const HostResolver& resolve = ResolveHost);

// Connects to the target's port, over TLS for https, sends the request and
// feeds received blocks to the handler. Returns true whenever it returns;
// failures raise (see above).
//
// Through a proxy (ProxyChoice.h says which) only the proxy's host is
// looked up and connected to. For https the client first asks it for a
// tunnel with CONNECT, then makes the TLS handshake with the site over it,
// checking the site's name; for http the caller's request must name the
// absolute URL and carry the proxy's credentials (FetchRequest.h builds it
// so). The proxy's refusals raise ProxyRefusal "[proxy host:port] PROXY
// REFUSED: <its status line>": an answer other than 2xx to CONNECT, and 407
// (or with credentials 401) to a plain request, whose head is held back
// until it is complete; a proxy that closes before its head is complete
// raises a plain Error.
// The time-outs and the deadline cover the proxy's connection and answers.
bool HttpRequest(const FetchTarget& target, const std::string& request, const ReceiveHandler& handler,
                 const HttpTimeouts& timeouts = {}, const ProxyServer* proxy = nullptr);
// The same for port 80 of the host in plain text.
bool HttpRequest(const std::string& host, const std::string& request,
                 const ReceiveHandler& handler, const HttpTimeouts& timeouts = {});

void NetStartup();
void NetCleanup();

}  // namespace velt
