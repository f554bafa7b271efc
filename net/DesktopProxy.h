// The desktop's proxy, through libproxy, for a run whose command line and
// environment name none: the GNOME or KDE proxy settings, a proxy
// auto-configuration (PAC) script that they name or that the environment
// gives as "pac+http://..." (as libproxy reads http_proxy and
// https_proxy), or WPAD where the settings ask for it. libproxy runs PAC
// scripts with its runner plugin and reads the desktops' settings with
// its plugins; without them it answers "direct".
//
// libproxy may be slow (it fetches PAC scripts) and is not safe to call
// from many threads: AskDesktopForProxies is called off the main thread,
// once for the site and again after an outage, never per fetch; it lets
// one call of libproxy run at a time. The other functions are pure.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "net/ProxyChoice.h"

namespace velt {

// Whether the desktop decides: no --proxy, and none of the proxy variables
// (http_proxy, HTTP_PROXY, https_proxy, HTTPS_PROXY, all_proxy, ALL_PROXY)
// names a proxy; each is unset, empty or a "pac+" URL. HTTP_PROXY, which
// our own rules leave alone, counts too: libproxy would follow it.
bool DesktopDecides(const std::string& option, const EnvironmentLookup& environment);

// Where libproxy takes its answer from, for the log: "THE PAC SCRIPT
// <url>" for a "pac+" URL in the environment (user and password masked),
// "THE DESKTOP SETTINGS" in a GNOME or KDE session, else "THE DESKTOP".
std::string DesktopProxyOrigin(const EnvironmentLookup& environment);

// The log's line for the answer: "PROXY FROM <origin>: <entries in order,
// joined by ", THEN ">", or, when it names no proxy, "NO PROXY FROM
// <origin>", which for a PAC script adds that it may not have been fetched
// or run: libproxy answers "direct" then too.
std::string DesktopProxyLine(const std::string& origin, const std::vector<ProxyEntry>& entries);

// libproxy may wait for a PAC script's server without end: the caller's
// wait for its answer ends after this, and the crawl goes direct.
inline constexpr std::chrono::seconds kDesktopProxyLimit{30};

// libproxy's proxy URLs for the URL, in its order ("direct://" for a
// direct connection); only "direct://" when it has nothing to say. The
// call runs on a thread of its own and is waited for until `limit` passes
// or `stop` returns true (asked every few hundred milliseconds); then, as
// while an earlier call still runs, the answer is nothing, and a late
// answer is dropped.
std::optional<std::vector<std::string>> AskDesktopForProxies(const std::string& url,
                                                             std::chrono::milliseconds limit,
                                                             const std::function<bool()>& stop);

}  // namespace velt
