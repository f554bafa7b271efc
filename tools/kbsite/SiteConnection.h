// One client connection of the sample site: make the TLS handshake when the
// site serves TLS, read the request, answer it the way the options say for
// its article, close.
//
// ServedLog prints one line per answer (SiteAnswer.h: FormatServedLine);
// lines from concurrent connections never interleave.
#pragma once

#include <atomic>
#include <cstdio>
#include <mutex>
#include <set>
#include <string_view>

#include "tools/kbsite/SiteModel.h"
#include "tools/kbsite/SiteOptions.h"
#include "tools/kbsite/SiteTls.h"

namespace velt::kbsite {

class ServedLog {
 public:
  explicit ServedLog(std::FILE* out) : out_(out) {}
  void Write(std::string_view line);

 private:
  std::mutex mutex_;
  std::FILE* out_;
};

// Which numbers have been asked for already, for the misbehaviours shown
// to a number's first request only. Any thread.
class FirstRequests {
 public:
  // True the first time a number is asked for.
  bool First(int number);

 private:
  std::mutex mutex_;
  std::set<int> seen_;
};

struct SiteContext {
  const SiteModel& model;
  const SiteOptions& options;
  ServedLog& log;
  int stopFd;
  SSL_CTX* tls;  // null for plain HTTP
  FirstRequests& firsts;
  std::atomic<int>& busyLeft;  // answers still to be busy, whatever the number
};

// Serves the connection and closes fd.
void ServeConnection(int fd, const SiteContext& site);

}  // namespace velt::kbsite
