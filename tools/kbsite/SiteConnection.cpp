#include "tools/kbsite/SiteConnection.h"

#include <sys/socket.h>
#include <unistd.h>

#include <string>

#include "tools/kbsite/SiteAnswer.h"
#include "tools/kbsite/SiteRevision.h"
#include "tools/kbsite/SiteRequest.h"
#include "tools/kbsite/SocketWait.h"

namespace velt::kbsite {
namespace {

constexpr std::size_t kMaxRequestBytes = 16384;
constexpr int kRequestWaitMs = 10000;
// After the answer, wait this long for the client to close, so that closing
// with unread bytes does not reset the connection under the answer.
constexpr int kLingerMs = 1000;

std::string ReadRequest(int fd, const SocketWait& wait) {
  std::string request;
  while (!RequestHeadComplete(request) && request.size() < kMaxRequestBytes) {
    if (!wait.ReadSome(fd, request, kRequestWaitMs)) break;
  }
  return request;
}

void SendEndless(int fd, const Article& article, const SocketWait& wait) {
  if (!wait.SendAll(fd, RenderEndlessStart(article))) return;
  const std::string filler = RenderFillerBlock(article);
  while (wait.SendAll(fd, filler)) {
  }
}

void SendDrip(int fd, const std::string& answer, int dripMs, const SocketWait& wait) {
  for (char byte : answer) {
    if (!wait.SendAll(fd, std::string_view(&byte, 1)) || !wait.Pause(dripMs)) return;
  }
}

// Reads and drops whatever comes until the client closes (or the site stops).
void DrainUntilClosed(int fd, const SocketWait& wait, int ms) {
  std::string ignored;
  while (wait.ReadSome(fd, ignored, ms)) ignored.clear();
}

// The answer up to its marker (all of an answer without one), then nothing.
void SendHeadThenStall(int fd, const std::string& answer, const SocketWait& wait) {
  if (wait.SendAll(fd, std::string_view(answer).substr(0, answer.find(kMarker)))) DrainUntilClosed(fd, wait, -1);
}

// A close with unsent nothing and no linger: the client sees a reset.
void Reset(int fd) {
  const linger now{1, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &now, sizeof now);
}

// The article as a busy site's answer gives it: `status` with no page.
Article Busy(const Article& article, int status) {
  Article busy;
  busy.number = article.number;
  busy.status = status;
  return busy;
}

// `handshake` ends each served line of a TLS connection ("" for plain
// HTTP). Returns false for a connection to reset, not to close in order.
bool Answer(int fd, const SiteContext& site, const SocketWait& wait, const std::string& handshake) {
  const std::string request = ReadRequest(fd, wait);
  if (request.empty()) return true;  // a probe that connected and left
  const int number = RequestedArticle(request);
  Article article = RevisedArticle(site.model, number, site.options.revision);
  if (number < 0) {
    site.log.Write(FormatServedLine(article, "bad-request") + handshake);
    wait.SendAll(fd, RenderAnswer(article, 0, AnswerShape::Normal));
    return true;
  }
  Behaviour behaviour = site.options.BehaviourFor(number);
  if (OnlyOnce(behaviour) && !site.firsts.First(number)) behaviour = Behaviour::Normal;
  int busyLeft = site.busyLeft.load();
  while (busyLeft > 0 && !site.busyLeft.compare_exchange_weak(busyLeft, busyLeft - 1)) {
  }
  if (busyLeft > 0) behaviour = Behaviour::Busy;
  if (behaviour == Behaviour::Busy) article = Busy(article, 503);
  if (behaviour == Behaviour::RateLimited) article = Busy(article, 429);
  if (behaviour == Behaviour::ServerError) article = Busy(article, 500);
  if (site.options.everyStatus != 0) article = Busy(article, site.options.everyStatus);
  if (site.options.latencyMs > 0 && !wait.Pause(site.options.latencyMs)) return true;
  if (behaviour == Behaviour::Normal && site.options.everyStatus == 0 && article.status == 200 &&
      RequestHasHeader(request, "If-Modified-Since") && !ChangedInRevision(site.model, number, site.options.revision)) {
    site.log.Write(FormatServedLine(article, "not-modified") + handshake);
    wait.SendAll(fd, "HTTP/1.0 304 Not Modified\r\n\r\n");
    return true;
  }
  site.log.Write(FormatServedLine(article, BehaviourName(behaviour)) + handshake);
  switch (behaviour) {
    case Behaviour::Busy:
    case Behaviour::RateLimited:
      wait.SendAll(fd, RenderBusyAnswer(article, site.options.retryAfterSeconds));
      return true;
    case Behaviour::ResetOnce:
      Reset(fd);
      return false;
    case Behaviour::CutOnce: {
      const std::string answer = WithContentLength(RenderAnswer(article, site.options.pageSize, AnswerShape::NoMarker));
      const std::size_t body = answer.size() - (answer.find("\r\n\r\n") + 4);
      wait.SendAll(fd, std::string_view(answer).substr(0, answer.size() - body / 2));
      return true;
    }
    case Behaviour::Silent:
      DrainUntilClosed(fd, wait, -1);
      return true;
    case Behaviour::Endless:
      SendEndless(fd, article, wait);
      return true;
    case Behaviour::Drip:
      SendDrip(fd, RenderAnswer(article, site.options.pageSize, AnswerShape::Normal), site.options.dripMs, wait);
      return true;
    case Behaviour::HeadThenStall:
      SendHeadThenStall(fd, RenderAnswer(article, site.options.pageSize, AnswerShape::Normal), wait);
      return true;
    default:
      wait.SendAll(fd, RenderAnswer(article, site.options.pageSize, ShapeFor(behaviour)));
      return true;
  }
}

}  // namespace

bool FirstRequests::First(int number) {
  std::lock_guard lock(mutex_);
  return seen_.insert(number).second;
}

void ServedLog::Write(std::string_view line) {
  std::lock_guard lock(mutex_);
  std::fwrite(line.data(), 1, line.size(), out_);
  std::fputc('\n', out_);
  std::fflush(out_);
}

void ServeConnection(int fd, const SiteContext& site) {
  TlsConnection tls(nullptr, &SSL_free);
  if (site.tls != nullptr) tls = NewTlsConnection(site.tls, fd);
  const SocketWait wait(site.stopFd, tls.get());
  // A client that refuses the certificate ends the handshake here.
  if (site.tls == nullptr || (tls && wait.Handshake(fd, kRequestWaitMs))) {
    const char* handshake = !tls ? "" : SSL_session_reused(tls.get()) == 1 ? "\ttls=resumed" : "\ttls=full";
    if (!Answer(fd, site, wait, handshake)) {
      ::close(fd);
      return;
    }
    if (tls) SSL_shutdown(tls.get());  // TLS's own end of stream
  }
  ::shutdown(fd, SHUT_WR);
  DrainUntilClosed(fd, wait, kLingerMs);
  ::close(fd);
}

}  // namespace velt::kbsite
