// The sample site's listener: accepts on 127.0.0.1 and serves each
// connection on a thread of its own, so slow or silent connections never
// hold up the others.
//
// With --outage-after the listener closes for a while after that many
// connections (clients are refused meanwhile) and then listens again.
//
// Serve returns when the stop descriptor becomes readable (the signal
// handler of main writes to it); by then the listener is closed and every
// connection thread has ended. Listen and Serve are called from one thread.
#pragma once

#include <string>

#include "tools/kbsite/SiteConnection.h"

namespace velt::kbsite {

class SiteServer {
 public:
  SiteServer(const SiteOptions& options, ServedLog& log);
  ~SiteServer();
  SiteServer(const SiteServer&) = delete;
  SiteServer& operator=(const SiteServer&) = delete;

  // Binds 127.0.0.1 on the options' port and loads the TLS files when the
  // options name them; false with the reason otherwise.
  bool Listen(std::string& error);
  void Serve(int stopFd);

 private:
  bool Bind(std::string& error);
  // Closes the listener for the outage; false when the site stops first.
  bool RefuseForAWhile(int stopFd);

  const SiteOptions& options_;
  SiteModel model_;
  ServedLog& log_;
  TlsContext tls_{nullptr, &SSL_CTX_free};
  int listenFd_ = -1;
  FirstRequests firsts_;
  std::atomic<int> busyLeft_{0};
};

}  // namespace velt::kbsite
