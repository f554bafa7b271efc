// The claim of one article number: its row is deleted and inserted afresh
// with the URL and RESCODE 0, both in one transaction.
//
// Claim returns whether the claim holds; on false `error` has the text of
// the failing step (message, ";" and statement) and the number's earlier
// row, if any, is as it was. The caller holds DatabaseLock for the whole
// call, so no other statement can slip into the transaction. The
// transaction's own statements never change, so they stay prepared from
// one claim to the next.
#pragma once

#include <string>

#include "store/DatabaseIO.h"

namespace velt {

// IMMEDIATE takes the write lock at once, so a claim waits its turn behind
// another process instead of failing when its first write finds the file busy.
inline constexpr char SqlBeginTransaction[] = "BEGIN IMMEDIATE";
inline constexpr char SqlCommitTransaction[] = "COMMIT";
inline constexpr char SqlRollbackTransaction[] = "ROLLBACK";

class ClaimTransaction {
 public:
  bool Claim(TDatabase& db, const std::string& kbid, const std::string& url, std::string& error);

 private:
  PreparedSql begin_{SqlBeginTransaction};
  PreparedSql commit_{SqlCommitTransaction};
  PreparedSql rollback_{SqlRollbackTransaction};
};

}  // namespace velt
