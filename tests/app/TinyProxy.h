// Test support: nginx serving a folder's files (a PAC script) on a
// loopback port; Debian's tinyproxy (an HTTP proxy) or microsocks (a SOCKS5
// proxy) on a loopback port, started for one test in a mount namespace of
// its own whose /etc/hosts also names kProxyOnlyHost, so that the site's
// host is known to the proxy alone.
//
// Needs root (for the mount namespace) and the proxy's package; Missing()
// says what is missing so that a test can skip. The destructor kills it.
#pragma once

#include <memory>
#include <string>

#include "tests/faults/ChildProcess.h"

namespace velt::test {

inline constexpr char kProxyOnlyHost[] = "other.invalid";

class TinyProxy {
 public:
  // `basicAuth` is "user password" for a proxy that asks for them.
  TinyProxy(int port, const std::string& folder, const std::string& basicAuth = "");
  // "" when a proxy can be started here, else why not.
  static std::string Missing();

 private:
  std::unique_ptr<faults::ChildProcess> process_;
};

class SocksProxy {
 public:
  // A proxy that asks for this user and password unless they are empty.
  SocksProxy(int port, const std::string& folder, const std::string& user = "", const std::string& password = "");
  static std::string Missing();

 private:
  std::unique_ptr<faults::ChildProcess> process_;
};

class FileServer {
 public:
  // Serves the files of `folder`, ".pac" as a PAC script.
  FileServer(int port, const std::string& folder);
  static std::string Missing();

 private:
  std::unique_ptr<faults::ChildProcess> process_;
};

}  // namespace velt::test
