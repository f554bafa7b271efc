#include "tools/kbsite/SiteTls.h"

#include <openssl/err.h>
#include <poll.h>

namespace velt::kbsite {
namespace {

TlsStep After(SSL* tls, int result, std::size_t count) {
  if (result == 1) return {count, 0};
  switch (SSL_get_error(tls, result)) {
    case SSL_ERROR_WANT_READ: return {0, POLLIN};
    case SSL_ERROR_WANT_WRITE: return {0, POLLOUT};
    default: return {};
  }
}

}  // namespace

TlsContext MakeServerContext(const std::string& certificate, const std::string& key, bool tls12Only,
                             std::string& error) {
  TlsContext context(SSL_CTX_new(TLS_server_method()), &SSL_CTX_free);
  if (context && SSL_CTX_set_min_proto_version(context.get(), TLS1_2_VERSION) == 1 &&
      SSL_CTX_set_max_proto_version(context.get(), tls12Only ? TLS1_2_VERSION : 0) == 1 &&
      SSL_CTX_use_certificate_chain_file(context.get(), certificate.c_str()) == 1 &&
      SSL_CTX_use_PrivateKey_file(context.get(), key.c_str(), SSL_FILETYPE_PEM) == 1 &&
      SSL_CTX_check_private_key(context.get()) == 1) {
    return context;
  }
  char reason[256] = "no TLS context";
  if (const unsigned long code = ERR_get_error(); code != 0) ERR_error_string_n(code, reason, sizeof reason);
  error = certificate + ", " + key + ": " + reason;
  return TlsContext(nullptr, &SSL_CTX_free);
}

TlsConnection NewTlsConnection(SSL_CTX* context, int fd) {
  TlsConnection tls(SSL_new(context), &SSL_free);
  if (tls && SSL_set_fd(tls.get(), fd) != 1) tls.reset();
  return tls;
}

TlsStep TlsHandshakeStep(SSL* tls) {
  ERR_clear_error();
  return After(tls, SSL_accept(tls), 1);
}

TlsStep TlsReadStep(SSL* tls, char* buffer, std::size_t size) {
  ERR_clear_error();
  std::size_t count = 0;
  const int result = SSL_read_ex(tls, buffer, size, &count);
  return After(tls, result, count);
}

TlsStep TlsWriteStep(SSL* tls, const char* bytes, std::size_t size) {
  ERR_clear_error();
  std::size_t count = 0;
  const int result = SSL_write_ex(tls, bytes, size, &count);
  return After(tls, result, count);
}

}  // namespace velt::kbsite
