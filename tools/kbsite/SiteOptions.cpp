#include "tools/kbsite/SiteOptions.h"

#include <charconv>
#include <functional>
#include <map>
#include <string_view>

namespace velt::kbsite {
namespace {

bool ParseInt(std::string_view text, long long low, long long high, long long& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && value >= low && value <= high;
}

// "100005,100010-100020"
bool ParseNumberList(std::string_view text, std::set<int>& numbers) {
  while (!text.empty()) {
    const auto comma = text.find(',');
    const std::string_view item = text.substr(0, comma);
    text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    const auto dash = item.find('-');
    long long first = 0, last = 0;
    if (!ParseInt(item.substr(0, dash), kFirstArticle, kLastArticle, first)) return false;
    last = first;
    if (dash != std::string_view::npos &&
        !ParseInt(item.substr(dash + 1), first, kLastArticle, last)) {
      return false;
    }
    for (long long n = first; n <= last; ++n) numbers.insert(static_cast<int>(n));
  }
  return true;
}

}  // namespace

Behaviour SiteOptions::BehaviourFor(int number) const {
  if (silent.count(number)) return Behaviour::Silent;
  if (endless.count(number)) return Behaviour::Endless;
  if (drip.count(number)) return Behaviour::Drip;
  if (headThenStall.count(number)) return Behaviour::HeadThenStall;
  if (noStatusLine.count(number)) return Behaviour::NoStatusLine;
  if (blankLineFirst.count(number)) return Behaviour::BlankLineFirst;
  if (noMarker.count(number)) return Behaviour::NoMarker;
  if (bareLineFeeds.count(number)) return Behaviour::BareLineFeeds;
  if (busy.count(number)) return Behaviour::Busy;
  if (rateLimited.count(number)) return Behaviour::RateLimited;
  if (resetOnce.count(number)) return Behaviour::ResetOnce;
  if (cutOnce.count(number)) return Behaviour::CutOnce;
  if (serverError.count(number)) return Behaviour::ServerError;
  return Behaviour::Normal;
}

bool OnlyOnce(Behaviour behaviour) {
  return behaviour == Behaviour::Busy || behaviour == Behaviour::RateLimited || behaviour == Behaviour::ResetOnce ||
         behaviour == Behaviour::CutOnce;
}

const char* BehaviourName(Behaviour behaviour) {
  switch (behaviour) {
    case Behaviour::Normal: return "normal";
    case Behaviour::NoStatusLine: return "no-status-line";
    case Behaviour::BlankLineFirst: return "blank-line";
    case Behaviour::NoMarker: return "no-marker";
    case Behaviour::BareLineFeeds: return "bare-lf";
    case Behaviour::Silent: return "silent";
    case Behaviour::Endless: return "endless";
    case Behaviour::Drip: return "drip";
    case Behaviour::HeadThenStall: return "head-then-stall";
    case Behaviour::Busy: return "busy";
    case Behaviour::RateLimited: return "rate-limited";
    case Behaviour::ResetOnce: return "reset";
    case Behaviour::CutOnce: return "cut";
    case Behaviour::ServerError: return "server-error";
  }
  return "";
}

AnswerShape ShapeFor(Behaviour behaviour) {
  switch (behaviour) {
    case Behaviour::NoStatusLine: return AnswerShape::NoStatusLine;
    case Behaviour::BlankLineFirst: return AnswerShape::BlankLineFirst;
    case Behaviour::NoMarker: return AnswerShape::NoMarker;
    case Behaviour::BareLineFeeds: return AnswerShape::BareLineFeeds;
    default: return AnswerShape::Normal;
  }
}

bool ParseSiteOptions(int argc, const char* const* argv, SiteOptions& options, std::string& error) {
  const std::map<std::string_view, std::set<int>*> lists = {
      {"--no-status-line", &options.noStatusLine}, {"--blank-line", &options.blankLineFirst},
      {"--no-marker", &options.noMarker},           {"--bare-lf", &options.bareLineFeeds},
      {"--silent", &options.silent},
      {"--endless", &options.endless},               {"--drip", &options.drip},
      {"--head-then-stall", &options.headThenStall}, {"--busy", &options.busy},
      {"--rate-limited", &options.rateLimited},     {"--reset-once", &options.resetOnce},
      {"--cut-once", &options.cutOnce},             {"--server-error", &options.serverError}};
  struct NumberOption {
    long long low, high;
    std::function<void(long long)> set;
  };
  const std::map<std::string_view, NumberOption> numbers = {
      {"--port", {1, 65535, [&](long long v) { options.port = static_cast<int>(v); }}},
      {"--seed", {0, 0xFFFFFFFFLL, [&](long long v) { options.seed = static_cast<std::uint32_t>(v); }}},
      {"--latency-ms", {0, 600000, [&](long long v) { options.latencyMs = static_cast<int>(v); }}},
      {"--page-size", {0, 64 << 20, [&](long long v) { options.pageSize = static_cast<std::size_t>(v); }}},
      {"--drip-ms", {1, 600000, [&](long long v) { options.dripMs = static_cast<int>(v); }}},
      {"--retry-after", {0, 86400, [&](long long v) { options.retryAfterSeconds = static_cast<int>(v); }}},
      {"--outage-after", {1, 1 << 30, [&](long long v) { options.outageAfter = static_cast<int>(v); }}},
      {"--outage-ms", {1, 600000, [&](long long v) { options.outageMs = static_cast<int>(v); }}},
      {"--revision", {1, 2, [&](long long v) { options.revision = static_cast<int>(v); }}},
      {"--every-status", {200, 599, [&](long long v) { options.everyStatus = static_cast<int>(v); }}},
      {"--busy-after-outage", {0, 1 << 30, [&](long long v) { options.busyAfterOutage = static_cast<int>(v); }}}};
  for (int i = 1; i < argc; ++i) {
    const std::string_view name = argv[i];
    if (name == "--help" || name == "-h") {
      options.help = true;
      continue;
    }
    if (name == "--tls") {
      if (i + 2 >= argc) {
        error = "--tls needs a certificate file and a key file";
        return false;
      }
      options.tlsCertificate = argv[++i];
      options.tlsKey = argv[++i];
      continue;
    }
    if (name == "--tls-1.2") {
      options.tls12Only = true;
      continue;
    }
    const auto list = lists.find(name);
    const auto number = numbers.find(name);
    if (list == lists.end() && number == numbers.end()) {
      error = "unknown option: " + std::string(name);
      return false;
    }
    if (i + 1 >= argc) {
      error = "missing value for " + std::string(name);
      return false;
    }
    const std::string_view value = argv[++i];
    long long parsed = 0;
    bool ok;
    if (list != lists.end()) {
      ok = ParseNumberList(value, *list->second);
    } else {
      ok = ParseInt(value, number->second.low, number->second.high, parsed);
      if (ok) number->second.set(parsed);
    }
    if (!ok) {
      error = "bad value for " + std::string(name) + ": " + std::string(value);
      return false;
    }
  }
  return true;
}

std::string SiteUsage() {
  return
      "usage: kbsite [options]\n"
      "\n"
      "A sample knowledge-base site on 127.0.0.1. It answers\n"
      "  GET /default.aspx?scid=kb;ja;NNNNNN\n"
      "with a synthetic article that depends only on NNNNNN and the seed: most\n"
      "numbers exist (200), some are absent (302), a few answer 404 or 500.\n"
      "Pages come in Shift_JIS, EUC-JP, ISO-2022-JP and UTF-8, with the charset\n"
      "in varying letter case or not declared. Each connection gets one answer\n"
      "and is then closed. SIGTERM or SIGINT stops the site. With --tls it\n"
      "serves the same over HTTPS.\n"
      "\n"
      "options:\n"
      "  --port N             port to listen on (default 80)\n"
      "  --seed N             seed of the knowledge base (default 1)\n"
      "  --latency-ms N       wait N ms before each answer (default 0)\n"
      "  --page-size N        pad 200 pages to at least N bytes (default 6000)\n"
      "  --drip-ms N          pause between bytes for --drip (default 200)\n"
      "  --tls CERT KEY       serve HTTPS with this certificate chain and key\n"
      "                       (PEM files; TLS 1.2 or later)\n"
      "  --tls-1.2            offer TLS 1.2 only, as older servers do\n"
      "  --retry-after N      the Retry-After seconds of --busy and --rate-limited\n"
      "                       (default 1)\n"
      "  --outage-after N     after N accepted connections refuse every connection\n"
      "                       for --outage-ms ms (default 3000), then serve again\n"
      "  --revision N         1 (default) or 2: the site after a second visit, with\n"
      "                       articles revised, withdrawn and new; unchanged ones\n"
      "                       answer 304 to a request with If-Modified-Since\n"
      "  --every-status N     answer every article with status N and no page\n"
      "  --busy-after-outage N  answer the first N requests after the outage 503\n"
      "                       with Retry-After, whatever the number\n"
      "misbehaviour on chosen numbers (LIST: N, N-M, comma-separated):\n"
      "  --no-status-line LIST  answer without the status line\n"
      "  --blank-line LIST      send a blank line before the status line\n"
      "  --no-marker LIST       a page without the <XMLHEADER marker\n"
      "  --bare-lf LIST         head lines end in a bare line feed, with a\n"
      "                         Content-Length; the page, without marker, holds\n"
      "                         an empty CR LF line\n"
      "  --silent LIST          read the request, never answer, never close\n"
      "  --endless LIST         a page without marker that never ends\n"
      "  --drip LIST            send the answer one byte every --drip-ms ms\n"
      "  --head-then-stall LIST send the answer up to the marker, then nothing,\n"
      "                         never close\n"
      "  --busy LIST            answer the first request 503 with Retry-After\n"
      "  --rate-limited LIST    answer the first request 429 with Retry-After\n"
      "  --reset-once LIST      reset the connection of the first request\n"
      "  --cut-once LIST        answer the first request with a Content-Length and\n"
      "                         close after half of the body\n"
      "  --server-error LIST    answer 500 to every request\n"
      "\n"
      "Each answer prints one line on standard output, tab-separated fields:\n"
      "  kbid=N status=N charset=C encoding=E answer=A title=T description=D\n"
      "  keywords=K kbparents=P, and over TLS tls=full or tls=resumed\n"
      "charset is as declared (empty: none), encoding is the page's real one,\n"
      "answer is normal, no-status-line, blank-line, no-marker, bare-lf, silent,\n"
      "endless, drip, head-then-stall, busy, rate-limited, reset, cut,\n"
      "server-error or bad-request; texts are UTF-8 and\n"
      "empty unless the status is 200. A title broken over two lines is\n"
      "printed joined.\n";
}

}  // namespace velt::kbsite
