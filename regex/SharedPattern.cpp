#include <map>
#include <mutex>
#include <string>
#include <utility>

#include "regex/CompiledPattern.h"

namespace velt {
namespace {

// The crawl runs a handful of fixed patterns; more distinct ones than this
// means patterns built from data, and the cache starts afresh (searches
// under way keep the patterns they hold).
constexpr std::size_t kMaxSharedPatterns = 64;

struct Shared {
  std::mutex mutex;
  std::map<std::pair<std::u16string, bool>, std::shared_ptr<const CompiledPattern>> cache;
};

}  // namespace

std::shared_ptr<const CompiledPattern> SharedPattern(std::u16string_view pattern, bool ignoreCase) {
  // Never destroyed: a worker may still search while the process exits.
  static auto& shared = *new Shared;
  auto key = std::make_pair(std::u16string(pattern), ignoreCase);
  std::lock_guard lock(shared.mutex);
  auto& cache = shared.cache;
  auto found = cache.find(key);
  if (found != cache.end()) return found->second;
  // Compiled under the lock, so two workers asking at once compile once.
  auto compiled = std::make_shared<const CompiledPattern>(pattern, ignoreCase);  // may raise: cache unchanged
  if (cache.size() >= kMaxSharedPatterns) cache.clear();
  cache.emplace(std::move(key), compiled);
  return compiled;
}

}  // namespace velt
