// One client connection of the sample site: make the TLS handshake when the
// site serves TLS, read the request, answer it the way the options say for
// its article, close.
//
// ServedLog prints one line per answer (SiteAnswer.h: FormatServedLine);
// lines from concurrent connections never interleave.
#pragma once

#include <cstdio>
#include <mutex>
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

struct SiteContext {
  const SiteModel& model;
  const SiteOptions& options;
  ServedLog& log;
  int stopFd;
  SSL_CTX* tls;  // null for plain HTTP
};

// Serves the connection and closes fd.
void ServeConnection(int fd, const SiteContext& site);

}  // namespace velt::kbsite
