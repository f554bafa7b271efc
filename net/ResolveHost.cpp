#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdio>
#include <memory>

#include "net/Http.h"
#include "platform/Error.h"

namespace velt {
namespace {

// The misspelt "ADDRSS" is kept as users' logs and searches know it.
[[noreturn]] void RaiseInvalidAddress(const std::string& host) {
  throw Error("[" + host + "] IS INVALID ADDRSS.");
}

// A dotted quad counts only when the address maps back to a host entry.
bool HasHostEntry(std::uint32_t address) {
  sockaddr_in socketAddress{};
  socketAddress.sin_family = AF_INET;
  socketAddress.sin_addr.s_addr = address;
  char name[NI_MAXHOST];
  return ::getnameinfo(reinterpret_cast<const sockaddr*>(&socketAddress), sizeof socketAddress,
                       name, sizeof name, nullptr, 0, NI_NAMEREQD) == 0;
}

bool LookUpName(const std::string& host, std::uint32_t& address) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) return false;
  std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> owner(found, &::freeaddrinfo);
  address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
  return true;
}

}  // namespace

std::uint32_t ResolveHost(const std::string& host) {
  std::uint32_t address = INADDR_NONE;
  if (IsDottedQuad(host)) {
    address = ::inet_addr(host.c_str());
    if (address == INADDR_NONE || !HasHostEntry(address)) RaiseInvalidAddress(host);
    return address;
  }
  if (!LookUpName(host, address)) RaiseInvalidAddress(host);
  return address;
}

}  // namespace velt
