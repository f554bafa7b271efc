#include "net/ProxyChain.h"

#include <utility>

namespace velt {

std::vector<ProxyEntry> ProxyEntriesFromUrls(const std::vector<std::string>& urls, std::vector<std::string>& skipped) {
  std::vector<ProxyEntry> entries;
  for (const std::string& url : urls) {
    if (url == "direct://") {
      entries.emplace_back();
      continue;
    }
    // A PAC script's "SOCKS" names no version; SOCKS5 is what such
    // proxies speak today.
    const std::string spelled = url.starts_with("socks://") ? "socks5://" + url.substr(8) : url;
    ProxyServer proxy;
    if (const std::string why = ParseProxyUrl(spelled, proxy); !why.empty()) {
      skipped.push_back(why);
      continue;
    }
    entries.emplace_back(proxy);
  }
  return entries;
}

std::string EntryText(const ProxyEntry& entry) { return entry ? entry->Display() : "DIRECT"; }

const ProxyServer* ProxyChain::Pick::Proxy() const {
  if (!entries || index >= entries->size() || !(*entries)[index]) return nullptr;
  return &*(*entries)[index];
}

ProxyChain::ProxyChain(std::vector<ProxyEntry> entries)
    : entries_(std::make_shared<const std::vector<ProxyEntry>>(std::move(entries))) {}

ProxyChain::Pick ProxyChain::Current() const {
  std::lock_guard hold(mutex_);
  return {entries_, index_};
}

bool ProxyChain::MoveOn(const Pick& failed, const std::string& why) {
  std::lock_guard hold(mutex_);
  if (failed.entries != entries_ || failed.index < index_) return true;  // moved on or replaced meanwhile
  if (failed.index + 1 >= entries_->size()) return false;
  index_ = failed.index + 1;
  notices_.push_back("PROXY " + EntryText((*entries_)[failed.index]) + " CANNOT BE REACHED (" + why +
                     "); NOW USING " + EntryText((*entries_)[index_]));
  return true;
}

void ProxyChain::Replace(std::vector<ProxyEntry> entries) {
  std::lock_guard hold(mutex_);
  entries_ = std::make_shared<const std::vector<ProxyEntry>>(std::move(entries));
  index_ = 0;
}

std::vector<std::string> ProxyChain::TakeNotices() {
  std::lock_guard hold(mutex_);
  return std::exchange(notices_, {});
}

}  // namespace velt
