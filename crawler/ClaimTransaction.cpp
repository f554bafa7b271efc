#include "crawler/ClaimTransaction.h"

#include "store/IndexTable.h"

namespace velt {

bool ClaimTransaction::Claim(TDatabase& db, const std::string& kbid, const std::string& url, std::string& error) {
  if (!db.ExecSQL(begin_, error)) return false;
  if (db.ExecSQLList({BuildDeleteRowSql(kbid), BuildClaimInsertSql(kbid, url)}, error) &&
      db.ExecSQL(commit_, error)) {
    return true;
  }
  // The failing step's text leads; a failed rollback is added to it, as it
  // leaves the session inside the transaction.
  std::string rollbackError;
  if (!db.ExecSQL(rollback_, rollbackError)) error += " " + rollbackError;
  return false;
}

}  // namespace velt
