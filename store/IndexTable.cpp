#include "store/IndexTable.h"

#include "store/FormatText.h"

namespace velt {
namespace {

std::string JoinedSearchableColumns(const char* separator) {
  std::string joined;
  for (const char* column : SearchableColumns) joined += (joined.empty() ? "" : separator) + std::string(column);
  return joined;
}

}  // namespace

const std::string SqlSearchSelect =
    "SELECT " + JoinedSearchableColumns(",") + " FROM " + std::string(IndexViewName);
const std::string SqlSearchConditionPrefix =
    "LEFT(" + JoinedSearchableColumns("&") + "," + std::to_string(SearchableTextLength) + ") LIKE ";

std::string BuildMinRedirectedKbidAboveSql(const std::string& kbid) {
  return FillFormat(SqlMinRedirectedKbidAboveFormat, {SqlQuote(kbid)});
}

std::string BuildRowUrlSql(const std::string& kbid) { return FillFormat(SqlRowUrlFormat, {SqlQuote(kbid)}); }

std::string BuildFetchTimesUpdateSql(const std::string& getBegin, const std::string& getEnd, const std::string& kbid) {
  return FillFormat(SqlUpdateFetchTimesFormat, {SqlQuote(getBegin), SqlQuote(getEnd), SqlQuote(kbid)});
}

std::string BuildRefreshSameTimeSql(const std::string& getBegin, const std::string& aboveKbid) {
  return FillFormat(SqlRefreshSameTimeFormat, {SqlQuote(getBegin), SqlQuote(aboveKbid)});
}

std::string BuildRefreshNextTimeSql(const std::string& afterGetBegin, const std::string& beforeGetBegin) {
  return FillFormat(SqlRefreshNextTimeFormat, {SqlQuote(afterGetBegin), SqlQuote(beforeGetBegin)});
}

std::string BuildRowResCodeSql(const std::string& kbid) { return FillFormat(SqlRowResCodeFormat, {SqlQuote(kbid)}); }

std::string BuildDeleteRowSql(const std::string& kbid) {
  return FillFormat(SqlDeleteRowFormat, {SqlQuote(kbid)});
}

std::string BuildClaimInsertSql(const std::string& kbid, const std::string& url) {
  return FillFormat(SqlInsertClaimFormat, {SqlQuote(kbid), SqlQuote(url)});
}

std::string BuildRowUpdateSql(int resCode, const std::string& title, const std::string& description,
                              const std::string& keywords, const std::string& kbParents,
                              const std::string& getBegin, const std::string& getEnd,
                              const std::string& kbid) {
  return FillFormat(SqlUpdateRowFormat,
                    {std::to_string(resCode), SqlQuote(title), SqlQuote(description), SqlQuote(keywords),
                     SqlQuote(kbParents), SqlQuote(getBegin), SqlQuote(getEnd), SqlQuote(kbid)});
}

std::string BuildSearchCondition(const std::string& term) {
  return SqlSearchConditionPrefix + SqlQuote(term);
}

std::string BuildSearchSql(const std::vector<std::string>& terms) {
  std::string sql = SqlSearchSelect;
  for (std::size_t i = 0; i < terms.size(); ++i)
    sql += (i == 0 ? " WHERE (" : " AND (") + BuildSearchCondition(terms[i]) + ")";
  return sql;
}

}  // namespace velt
