// TLS over OpenSSL: TLS 1.2 or later, server name indication, and the
// server's chain and name checked against the trusted authorities that
// OpenSSL's default paths give (the system's, or SSL_CERT_FILE and
// SSL_CERT_DIR when they are set).
#include <arpa/inet.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>

#include <cerrno>
#include <ctime>
#include <memory>

#include "net/Channel.h"
#include "net/TlsSessions.h"
#include "platform/Error.h"

namespace velt::net_detail {
namespace {

// OpenSSL writes to the socket with write(), which raises SIGPIPE when the
// peer has gone; the fetch must see an error instead. The signal is held
// back on this thread for one OpenSSL call, and one that came is taken.
class SigpipeHold {
 public:
  SigpipeHold() {
    sigemptyset(&pipe_);
    sigaddset(&pipe_, SIGPIPE);
    sigset_t pending;
    sigpending(&pending);
    wasPending_ = sigismember(&pending, SIGPIPE) == 1;
    pthread_sigmask(SIG_BLOCK, &pipe_, &previous_);
  }
  ~SigpipeHold() {
    sigset_t pending;
    sigpending(&pending);
    if (!wasPending_ && sigismember(&pending, SIGPIPE) == 1) {
      const timespec now{0, 0};
      sigtimedwait(&pipe_, nullptr, &now);
    }
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
  }
  SigpipeHold(const SigpipeHold&) = delete;
  SigpipeHold& operator=(const SigpipeHold&) = delete;

 private:
  sigset_t pipe_;
  sigset_t previous_;
  bool wasPending_ = false;
};

// The oldest queued OpenSSL reason, or the fallback.
std::string OpenSslReason(const char* fallback) {
  const unsigned long code = ERR_peek_error();
  const char* reason = code != 0 ? ERR_reason_error_string(code) : nullptr;
  return reason != nullptr ? reason : fallback;
}

// A copy of the connection's session for the store: the connection goes on
// changing its own (OpenSSL gives it up when the connection ends badly),
// while the copy is handed to one other connection, on another thread.
void KeepCopy(const std::string& peer, const SSL_SESSION* session) {
  if (SSL_SESSION* copy = SSL_SESSION_dup(session)) KeepSession(peer, copy);
}

// Called when a server hands this client a session it may resume later.
int KeepNewSession(SSL* ssl, SSL_SESSION* session) {
  const auto* peer = static_cast<const std::string*>(SSL_get_app_data(ssl));
  if (peer != nullptr && SSL_SESSION_is_resumable(session) == 1) KeepCopy(*peer, session);
  return 0;  // the connection keeps its own reference
}

SSL_CTX* MakeContext() {
  SSL_CTX* context = SSL_CTX_new(TLS_client_method());
  if (context == nullptr) throw Error("TLS UNAVAILABLE: " + OpenSslReason("no context"));
  SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION);
  SSL_CTX_set_verify(context, SSL_VERIFY_PEER, nullptr);
  // A close without TLS's own end of stream ends the answer like a TCP
  // close ends a plain one.
  SSL_CTX_set_options(context, SSL_OP_IGNORE_UNEXPECTED_EOF);
  SSL_CTX_set_session_cache_mode(context, SSL_SESS_CACHE_CLIENT | SSL_SESS_CACHE_NO_INTERNAL_STORE);
  SSL_CTX_sess_set_new_cb(context, KeepNewSession);
  if (SSL_CTX_set_default_verify_paths(context) != 1) {
    const std::string reason = OpenSslReason("no trusted certificates");
    SSL_CTX_free(context);
    throw Error("TLS UNAVAILABLE: " + reason);
  }
  return context;
}

// One context for the process: loading the trusted authorities is costly,
// and a context is safe to share between threads once it is made.
SSL_CTX* SharedContext() {
  static SSL_CTX* const context = MakeContext();
  return context;
}

class TlsChannel : public Channel {
 public:
  TlsChannel(const Socket& socket, const std::string& host, int port)
      : socket_(socket), host_(host), peer_(SessionPeer(host, port)), ssl_(SSL_new(SharedContext()), &SSL_free) {
    if (!ssl_ || SSL_set_fd(ssl_.get(), socket.fd()) != 1) Raise(0);
    SSL_set_app_data(ssl_.get(), &peer_);
    if (SSL_SESSION* kept = TakeSession(peer_)) {
      SSL_set_session(ssl_.get(), kept);  // takes a reference of its own
      SSL_SESSION_free(kept);
    }
    in_addr literal{};
    X509_VERIFY_PARAM* check = SSL_get0_param(ssl_.get());
    X509_VERIFY_PARAM_set_hostflags(check, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
    if (::inet_pton(AF_INET, host.c_str(), &literal) == 1) {
      // An address is checked against the certificate's addresses and is
      // not sent as a server name.
      if (X509_VERIFY_PARAM_set1_ip_asc(check, host.c_str()) != 1) Raise(0);
    } else if (SSL_set_tlsext_host_name(ssl_.get(), host.c_str()) != 1 || SSL_set1_host(ssl_.get(), host.c_str()) != 1) {
      Raise(0);
    }
  }

  ~TlsChannel() override {
    // TLS's own end of stream: a server gives up the session of a connection
    // that ends without it, and the next fetch could not resume it. Never
    // after a fatal error, and without waiting for the server's.
    if (broken_ || SSL_is_init_finished(ssl_.get()) != 1) return;
    Call([&] { return SSL_shutdown(ssl_.get()); });
    ERR_clear_error();
  }

  void Handshake(Clock::time_point until) {
    SetNonBlocking(socket_, true);
    for (;;) {
      const int result = Call([&] { return SSL_connect(ssl_.get()); });
      if (result == 1) break;
      if (!WaitFor(result, until)) RaiseSystemError(ETIMEDOUT);
    }
    // A TLS 1.2 session serves many connections; a TLS 1.3 server sends
    // new tickets instead, which KeepNewSession receives.
    if (SSL_session_reused(ssl_.get()) == 1 && SSL_version(ssl_.get()) < TLS1_3_VERSION) {
      KeepCopy(peer_, SSL_get0_session(ssl_.get()));
    }
  }

  void Send(const std::string& text, std::chrono::milliseconds limit) override {
    const auto until = Clock::now() + limit;
    std::size_t sent = 0;
    while (sent < text.size()) {
      std::size_t count = 0;
      const int result = Call([&] { return SSL_write_ex(ssl_.get(), text.data() + sent, text.size() - sent, &count); });
      if (result == 1) {
        sent += count;
      } else if (!WaitFor(result, until)) {
        RaiseSystemError(ETIMEDOUT);
      }
    }
  }

  std::optional<int> Receive(char* buffer, int size, Clock::time_point until) override {
    for (;;) {
      std::size_t count = 0;
      const int result = Call([&] { return SSL_read_ex(ssl_.get(), buffer, static_cast<std::size_t>(size), &count); });
      if (result == 1) return static_cast<int>(count);
      if (SSL_get_error(ssl_.get(), result) == SSL_ERROR_ZERO_RETURN) return 0;
      if (!WaitFor(result, until)) return std::nullopt;
    }
  }

 private:
  template <typename Operation>
  int Call(Operation operation) {
    SigpipeHold hold;
    ERR_clear_error();
    errno = 0;
    return operation();
  }

  // After a call that did not succeed: waits for what OpenSSL wants and
  // returns whether it came in time; raises for any other outcome.
  bool WaitFor(int result, Clock::time_point until) {
    switch (SSL_get_error(ssl_.get(), result)) {
      case SSL_ERROR_WANT_READ: return WaitUntil(socket_, POLLIN, until);
      case SSL_ERROR_WANT_WRITE: return WaitUntil(socket_, POLLOUT, until);
      default: Raise(result);
    }
  }

  [[noreturn]] void Raise(int result) {
    broken_ = true;
    const int kind = ssl_ ? SSL_get_error(ssl_.get(), result) : SSL_ERROR_SSL;
    if (kind == SSL_ERROR_SYSCALL && errno != 0) RaiseSystemError(errno);
    if (ssl_ && SSL_get_verify_result(ssl_.get()) != X509_V_OK) {
      throw Error("[" + host_ + "] CERTIFICATE REFUSED: " +
                  X509_verify_cert_error_string(SSL_get_verify_result(ssl_.get())));
    }
    throw Error("[" + host_ + "] TLS FAILED: " + OpenSslReason("the server ended the connection"));
  }

  const Socket& socket_;
  std::string host_;
  std::string peer_;  // outlives ssl_, which points at it
  bool broken_ = false;
  std::unique_ptr<SSL, decltype(&SSL_free)> ssl_;
};

}  // namespace

std::unique_ptr<Channel> OpenTlsChannel(const Socket& socket, const std::string& host, int port,
                                        Clock::time_point until) {
  auto channel = std::make_unique<TlsChannel>(socket, host, port);
  channel->Handshake(until);
  return channel;
}

}  // namespace velt::net_detail
