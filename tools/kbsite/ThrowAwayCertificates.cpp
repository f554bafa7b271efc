#include "tools/kbsite/ThrowAwayCertificates.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

extern char** environ;

namespace velt::kbsite {
namespace {

// Makes the two authorities and the three servers in the folder $1.
constexpr char kScript[] = R"(set -e
cd "$1"
key() { openssl genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-256 -out "$1"; }
authority() {
  key "$1.key"
  openssl req -x509 -new -key "$1.key" -out "$1.pem" -days 2 -subj "/CN=$1 test authority" \
    -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign
}
server() {
  key "$1.key"
  openssl req -new -key "$1.key" -subj "/CN=$1" -out "$1.csr"
  printf 'subjectAltName=%s\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n' "$3" > "$1.ext"
  openssl x509 -req -in "$1.csr" -CA "$2.pem" -CAkey "$2.key" -CAcreateserial -days 2 \
    -extfile "$1.ext" -out "$1.pem"
}
authority trusted
authority unknown
server localhost trusted DNS:localhost,IP:127.0.0.1
server other-name trusted DNS:other.invalid
server unknown-signer unknown DNS:localhost,IP:127.0.0.1
)";

}  // namespace

ThrowAwayCertificates::ThrowAwayCertificates() {
  char folder[] = "/tmp/velt-certificates-XXXXXX";
  if (::mkdtemp(folder) == nullptr) throw std::runtime_error("cannot make a folder for certificates");
  folder_ = folder;
  std::string shell = "/bin/sh", dashC = "-c", script = kScript, name = "certificates";
  char* argv[] = {shell.data(), dashC.data(), script.data(), name.data(), folder, nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  // openssl tells of every key it makes; only a failure matters.
  const std::string log = folder_ + "/openssl.log";
  posix_spawn_file_actions_addopen(&actions, 2, log.c_str(), O_WRONLY | O_CREAT, 0600);
  pid_t pid = -1;
  int status = -1;
  if (::posix_spawn(&pid, shell.c_str(), &actions, nullptr, argv, environ) == 0) ::waitpid(pid, &status, 0);
  posix_spawn_file_actions_destroy(&actions);
  if (status != 0) {
    std::filesystem::remove_all(folder_);
    throw std::runtime_error("openssl could not make the test certificates");
  }
}

ThrowAwayCertificates::~ThrowAwayCertificates() {
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

std::string ThrowAwayCertificates::TrustedAuthority() const { return folder_ + "/trusted.pem"; }

std::vector<std::string> ThrowAwayCertificates::TlsArguments(const std::string& server) const {
  return {"--tls", folder_ + "/" + server + ".pem", folder_ + "/" + server + ".key"};
}

const ThrowAwayCertificates& TrustedTestCertificates() {
  static const ThrowAwayCertificates certificates;
  static const bool trusted = [] {
    // The folder holds no hashed names, so no other authority is found.
    ::setenv("SSL_CERT_FILE", certificates.TrustedAuthority().c_str(), 1);
    ::setenv("SSL_CERT_DIR", std::filesystem::path(certificates.TrustedAuthority()).parent_path().c_str(), 1);
    return true;
  }();
  (void)trusted;
  return certificates;
}

}  // namespace velt::kbsite
