// Certificates for HTTPS tests, made at test time with the openssl program
// in a temporary folder that is removed with the object.
//
// Two authorities: "trusted", which tests make the process trust, and
// "unknown", which nobody trusts. Three servers: "localhost" (for
// localhost and 127.0.0.1, signed by trusted), "other-name" (for
// other.invalid only, signed by trusted) and "unknown-signer" (for
// localhost and 127.0.0.1, signed by unknown). Not for concurrent use.
#pragma once

#include <string>
#include <vector>

namespace velt::kbsite {

class ThrowAwayCertificates {
 public:
  // Raises std::runtime_error when the openssl program fails.
  ThrowAwayCertificates();
  ~ThrowAwayCertificates();
  ThrowAwayCertificates(const ThrowAwayCertificates&) = delete;
  ThrowAwayCertificates& operator=(const ThrowAwayCertificates&) = delete;

  // The PEM file of the trusted authority.
  std::string TrustedAuthority() const;
  // kbsite's "--tls CERT KEY" for one of the three servers.
  std::vector<std::string> TlsArguments(const std::string& server) const;

 private:
  std::string folder_;
};

// One set for the whole process, made at the first call, whose trusted
// authority is then the only one the process's HTTPS fetches trust (through
// OpenSSL's SSL_CERT_FILE and SSL_CERT_DIR, which must not have been read
// yet).
const ThrowAwayCertificates& TrustedTestCertificates();

}  // namespace velt::kbsite
