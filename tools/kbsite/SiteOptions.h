// Command line of the sample site (kbsite --help prints the usage text).
//
// ParseSiteOptions fills SiteOptions from the arguments and returns false
// with a message for anything it does not understand. Numbers in the
// misbehaviour lists are written "N", "N-M" or a comma-separated mix.
// Pure: safe from any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

#include "tools/kbsite/SiteAnswer.h"

namespace velt::kbsite {

// How one article's connection behaves.
enum class Behaviour {
  Normal, NoStatusLine, BlankLineFirst, NoMarker, BareLineFeeds, Silent, Endless, Drip, HeadThenStall,
  // A busy site's: to the first request of a number only (OnlyOnce).
  Busy, RateLimited, ResetOnce, CutOnce,
  ServerError
};

// The misbehaviours that a number shows to its first request only.
bool OnlyOnce(Behaviour behaviour);

struct SiteOptions {
  int port = 80;
  std::uint32_t seed = 1;
  int latencyMs = 0;
  std::size_t pageSize = 6000;
  int dripMs = 200;
  bool help = false;
  // Serve TLS with this certificate chain and key (PEM files) when set.
  std::string tlsCertificate, tlsKey;
  bool tls12Only = false;
  int retryAfterSeconds = 1;
  // After this many accepted connections (0: never) refuse every
  // connection for outageMs, then serve again.
  int outageAfter = 0;
  int outageMs = 3000;
  int revision = 1;  // SiteRevision.h
  int everyStatus = 0;  // when not 0, every article answers this status
  // Answers 503 with Retry-After to this many requests after the outage.
  int busyAfterOutage = 0;
  std::set<int> noStatusLine, blankLineFirst, noMarker, bareLineFeeds, silent, endless, drip, headThenStall;
  std::set<int> busy, rateLimited, resetOnce, cutOnce, serverError;

  Behaviour BehaviourFor(int number) const;
};

bool ParseSiteOptions(int argc, const char* const* argv, SiteOptions& options, std::string& error);
std::string SiteUsage();

// The name the served line gives a behaviour ("normal", "silent", ...).
const char* BehaviourName(Behaviour behaviour);
AnswerShape ShapeFor(Behaviour behaviour);

}  // namespace velt::kbsite
