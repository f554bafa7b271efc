#include "net/DesktopProxy.h"

#include <proxy.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace velt {
namespace {

constexpr const char* kProxyVariables[] = {"http_proxy", "HTTP_PROXY", "https_proxy",
                                           "HTTPS_PROXY", "all_proxy",  "ALL_PROXY"};

bool IsPacUrl(const std::string& value) { return value.starts_with("pac+"); }

// The URL with its whole user part replaced, as the log may show it: a
// user name may be a token that works alone.
std::string Masked(const std::string& url) {
  const std::size_t start = url.find("://");
  if (start == std::string::npos) return url;
  const std::size_t authority = start + 3;
  const std::size_t at = url.substr(0, url.find('/', authority)).rfind('@');
  if (at == std::string::npos || at < authority) return url;
  return url.substr(0, authority) + "****" + url.substr(at);
}

}  // namespace

bool DesktopDecides(const std::string& option, const EnvironmentLookup& environment) {
  if (!option.empty()) return false;
  for (const char* name : kProxyVariables) {
    const auto value = environment(name);
    if (value && !value->empty() && !IsPacUrl(*value)) return false;
  }
  return true;
}

std::string DesktopProxyOrigin(const EnvironmentLookup& environment) {
  for (const char* name : kProxyVariables) {
    if (const auto value = environment(name); value && IsPacUrl(*value)) {
      return "THE PAC SCRIPT " + Masked(value->substr(4));
    }
  }
  // The sessions in which libproxy reads the desktop's own settings.
  const auto session = environment("DESKTOP_SESSION");
  if (environment("GNOME_DESKTOP_SESSION_ID") || environment("KDE_FULL_SESSION") ||
      (session && (session->find("gnome") != std::string::npos || session->find("plasma") != std::string::npos))) {
    return "THE DESKTOP SETTINGS";
  }
  return "THE DESKTOP";
}

std::string DesktopProxyLine(const std::string& origin, const std::vector<ProxyEntry>& entries) {
  const bool anyProxy = std::any_of(entries.begin(), entries.end(), [](const ProxyEntry& entry) { return entry; });
  if (!anyProxy) {
    return "NO PROXY FROM " + origin +
           (origin.starts_with("THE PAC SCRIPT") ? " (IT SAYS DIRECT, OR IT COULD NOT BE FETCHED OR RUN)" : "");
  }
  std::string line = "PROXY FROM " + origin + ": ";
  for (std::size_t i = 0; i < entries.size(); ++i) line += (i == 0 ? "" : ", THEN ") + EntryText(entries[i]);
  return line;
}

namespace {

// One factory for the process: the script runner's engine does not live
// through a second factory made after the first was freed.
std::vector<std::string> AskLibproxy(const std::string& url) {
  static pxProxyFactory* const factory = px_proxy_factory_new();
  std::vector<std::string> urls;
  if (factory != nullptr) {
    char** answer = px_proxy_factory_get_proxies(factory, url.c_str());
    for (char** entry = answer; entry != nullptr && *entry != nullptr; ++entry) urls.emplace_back(*entry);
    if (answer != nullptr) px_proxy_factory_free_proxies(answer);
  }
  if (urls.empty()) urls.emplace_back("direct://");
  return urls;
}

// Shared by the waiting caller and the call's thread; whichever leaves
// last frees it.
struct Answer {
  std::mutex mutex;
  std::condition_variable done;
  std::optional<std::vector<std::string>> urls;
};

std::atomic<bool> asking{false};

}  // namespace

std::optional<std::vector<std::string>> AskDesktopForProxies(const std::string& url,
                                                             std::chrono::milliseconds limit,
                                                             const std::function<bool()>& stop) {
  if (asking.exchange(true)) return std::nullopt;  // an earlier call still waits for its server
  auto answer = std::make_shared<Answer>();
  try {
    std::thread([answer, url] {
      auto urls = AskLibproxy(url);
      asking = false;
      std::lock_guard hold(answer->mutex);
      answer->urls = std::move(urls);
      answer->done.notify_one();
    }).detach();
  } catch (...) {
    asking = false;
    throw;
  }
  constexpr std::chrono::milliseconds slice{200};
  const auto until = std::chrono::steady_clock::now() + limit;
  std::unique_lock hold(answer->mutex);
  while (!answer->urls) {
    if (stop() || std::chrono::steady_clock::now() >= until) return std::nullopt;
    answer->done.wait_until(hold, std::min(until, std::chrono::steady_clock::now() + slice));
  }
  return answer->urls;
}

}  // namespace velt
