// TLS for the sample site (--tls): the server's context, and single
// non-blocking steps of a connection's handshake, reads and writes that
// say what to wait for before the step is repeated.
// The context is made once and shared by the connection threads.
#pragma once

#include <openssl/ssl.h>

#include <cstddef>
#include <memory>
#include <string>

namespace velt::kbsite {

using TlsContext = std::unique_ptr<SSL_CTX, decltype(&SSL_CTX_free)>;
using TlsConnection = std::unique_ptr<SSL, decltype(&SSL_free)>;

// TLS 1.2 or later with the PEM certificate chain and key; empty with the
// reason when the files do not make one.
TlsContext MakeServerContext(const std::string& certificate, const std::string& key, bool tls12Only,
                             std::string& error);
TlsConnection NewTlsConnection(SSL_CTX* context, int fd);

// count > 0: bytes moved (or, for the handshake, done); otherwise waitFor
// is the poll event to wait for before repeating, or 0 when the stream has
// ended or failed.
struct TlsStep {
  std::size_t count = 0;
  short waitFor = 0;
};
TlsStep TlsHandshakeStep(SSL* tls);
TlsStep TlsReadStep(SSL* tls, char* buffer, std::size_t size);
TlsStep TlsWriteStep(SSL* tls, const char* bytes, std::size_t size);

}  // namespace velt::kbsite
