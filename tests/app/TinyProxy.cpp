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

// The child once its port accepts.
std::unique_ptr<faults::ChildProcess> StartListening(const std::vector<std::string>& argv, int port) {
  auto process = std::make_unique<faults::ChildProcess>(argv);
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!Accepts(port)) {
    if (std::chrono::steady_clock::now() > until) throw std::runtime_error(argv[0] + " did not start");
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return process;
}

// The command run with the proxy-only host in its /etc/hosts, once its
// port accepts.
std::unique_ptr<faults::ChildProcess> StartKnowingTheProxyOnlyHost(const std::string& folder, const std::string& command,
                                                                   const std::vector<std::string>& arguments, int port) {
  const std::string hosts = folder + "/hosts";
  std::ofstream(hosts) << "127.0.0.1 localhost\n127.0.0.1 " << kProxyOnlyHost << "\n";
  std::vector<std::string> argv = {"/usr/bin/unshare", "-m", "sh", "-c",
                                   "mount --bind \"$0\" /etc/hosts && exec " + command + " >/dev/null 2>&1", hosts};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return StartListening(argv, port);
}

std::string MissingFor(const std::string& program) {
  if (std::system(("command -v " + program + " >/dev/null").c_str()) != 0) return program + " is not installed";
  if (std::system("unshare -m true 2>/dev/null") != 0) return "no mount namespace can be made here";
  return "";
}

}  // namespace

TinyProxy::TinyProxy(int port, const std::string& folder, const std::string& basicAuth) {
  const std::string config = folder + "/tinyproxy.conf";
  std::ofstream configFile(config);
  configFile << "Port " << port << "\nListen 127.0.0.1\nTimeout 600\nMaxClients 100\nLogLevel Critical\n"
             << "Allow 127.0.0.1\n";
  if (!basicAuth.empty()) configFile << "BasicAuth " << basicAuth << "\n";
  configFile.close();
  process_ = StartKnowingTheProxyOnlyHost(folder, "tinyproxy -d -c \"$1\"", {config}, port);
}

std::string TinyProxy::Missing() { return MissingFor("tinyproxy"); }

SocksProxy::SocksProxy(int port, const std::string& folder, const std::string& user, const std::string& password) {
  std::vector<std::string> arguments = {"-i", "127.0.0.1", "-p", std::to_string(port)};
  if (!user.empty()) arguments.insert(arguments.end(), {"-u", user, "-P", password});
  process_ = StartKnowingTheProxyOnlyHost(folder, "microsocks \"$@\"", arguments, port);
}

std::string SocksProxy::Missing() { return MissingFor("microsocks"); }

FileServer::FileServer(int port, const std::string& folder) {
  const std::string config = folder + "/nginx.conf";
  std::ofstream(config) << "daemon off;\nmaster_process off;\npid " << folder << "/nginx.pid;\n"
                        << "error_log " << folder << "/nginx-error.log;\nevents {}\nhttp {\n  access_log off;\n"
                        << "  client_body_temp_path " << folder << ";\n  proxy_temp_path " << folder << ";\n"
                        << "  fastcgi_temp_path " << folder << ";\n  uwsgi_temp_path " << folder << ";\n"
                        << "  scgi_temp_path " << folder << ";\n"
                        << "  types { application/x-ns-proxy-autoconfig pac; }\n"
                        << "  server { listen 127.0.0.1:" << port << "; root " << folder << "; }\n}\n";
  process_ = StartListening({"/usr/sbin/nginx", "-e", folder + "/nginx-error.log", "-c", config}, port);
}

std::string FileServer::Missing() {
  return std::system("test -x /usr/sbin/nginx") == 0 ? "" : "nginx is not installed";
}

}  // namespace velt::test
