// The desktop's answer for the site: proxies to try in order, "direct" among
// them, as a proxy auto-configuration script lists them ("PROXY a:3128;
// PROXY b:3128; DIRECT").
//
// Every fetch goes through the entry in use; when that entry's proxy cannot
// be reached (its name does not resolve, or the connection to it fails) the
// fetch moves the chain on to the next entry and tries again. A proxy that
// answers, even with a refusal, keeps its place. Each move is said once, in
// a notice for the log; past the last entry the fetch fails as it would
// without a list. Replace puts a new answer in place, its first entry in
// use again.
//
// Safe from any thread: fetches pick and move on at once, the dispatcher
// replaces and takes the notices.
#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "net/ProxyServer.h"

namespace velt {

// One entry: a proxy, or nothing for a direct connection.
using ProxyEntry = std::optional<ProxyServer>;

// The entries that the URLs name, in their order: "http://", "socks5://"
// and "socks://" (a PAC script's SOCKS, taken as SOCKS5) proxies and
// "direct://". Others (a proxy spoken to over TLS, SOCKS4) cannot be used
// and are left out, each with a line in `skipped`.
std::vector<ProxyEntry> ProxyEntriesFromUrls(const std::vector<std::string>& urls, std::vector<std::string>& skipped);

// "DIRECT" or the proxy's URL, password masked.
std::string EntryText(const ProxyEntry& entry);

class ProxyChain {
 public:
  struct Pick {
    std::shared_ptr<const std::vector<ProxyEntry>> entries;
    std::size_t index = 0;
    // The proxy to go through, null for direct.
    const ProxyServer* Proxy() const;
  };

  explicit ProxyChain(std::vector<ProxyEntry> entries = {});

  // The entry in use; a chain without entries goes direct.
  Pick Current() const;
  // After the picked entry's proxy could not be reached (why): false when
  // it was the last entry, so the fetch fails; otherwise the chain has
  // moved past it (perhaps already, by another fetch) and the caller picks
  // again.
  bool MoveOn(const Pick& failed, const std::string& why);
  void Replace(std::vector<ProxyEntry> entries);
  // The notices since the last call, oldest first.
  std::vector<std::string> TakeNotices();

 private:
  mutable std::mutex mutex_;
  std::shared_ptr<const std::vector<ProxyEntry>> entries_;
  std::size_t index_ = 0;
  std::vector<std::string> notices_;
};

}  // namespace velt
