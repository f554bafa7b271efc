#include "tests/app/TinyProxy.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace velt::test {
namespace {

bool Accepts(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return connected;
}

}  // namespace

TinyProxy::TinyProxy(int port, const std::string& folder, const std::string& basicAuth) {
  const std::string hosts = folder + "/hosts", config = folder + "/tinyproxy.conf";
  std::ofstream(hosts) << "127.0.0.1 localhost\n127.0.0.1 " << kProxyOnlyHost << "\n";
  std::ofstream configFile(config);
  configFile << "Port " << port << "\nListen 127.0.0.1\nTimeout 600\nMaxClients 100\nLogLevel Critical\n"
             << "Allow 127.0.0.1\n";
  if (!basicAuth.empty()) configFile << "BasicAuth " << basicAuth << "\n";
  configFile.close();
  process_ = std::make_unique<faults::ChildProcess>(std::vector<std::string>{
      "/usr/bin/unshare", "-m", "sh", "-c",
      "mount --bind \"$0\" /etc/hosts && exec tinyproxy -d -c \"$1\" >/dev/null 2>&1", hosts, config});
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!Accepts(port)) {
    if (std::chrono::steady_clock::now() > until) throw std::runtime_error("tinyproxy did not start");
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

std::string TinyProxy::Missing() {
  if (std::system("command -v tinyproxy >/dev/null") != 0) return "tinyproxy is not installed";
  if (std::system("unshare -m true 2>/dev/null") != 0) return "no mount namespace can be made here";
  return "";
}

}  // namespace velt::test
