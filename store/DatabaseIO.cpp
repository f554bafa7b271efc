#include "store/DatabaseIO.h"

#include "platform/Error.h"
#include "store/provider/Catalog.h"
#include "store/provider/Connection.h"
#include "store/provider/PreparedStatement.h"
#include "store/provider/Recordset.h"
#include "store/provider/SqliteCalls.h"

namespace velt {

Recordset::Recordset() = default;
Recordset::~Recordset() = default;
Recordset::Recordset(Recordset&&) noexcept = default;
Recordset& Recordset::operator=(Recordset&&) noexcept = default;

provider::Recordset& Recordset::Get() {
  if (!impl_) throw Error("The recordset is not open.");
  return *impl_;
}

PreparedSql::PreparedSql(std::string sql) : sql_(std::move(sql)) {}
PreparedSql::~PreparedSql() = default;
PreparedSql::PreparedSql(PreparedSql&&) noexcept = default;
PreparedSql& PreparedSql::operator=(PreparedSql&&) noexcept = default;

TDatabase::TDatabase() = default;

TDatabase::~TDatabase() {
  try {
    Close();
  } catch (const std::exception&) {
    // A destructor cannot report; the handles are released either way.
  }
}

bool TDatabase::Open(const std::string& user, const std::string& password, const std::string& dataSource,
                     std::string& error) {
  Close();
  return OpenSession(user, password, dataSource, false, error);
}

bool TDatabase::OpenSession(const std::string& user, const std::string& password,
                            const std::string& dataSource, bool createMissing, std::string& error) {
  try {
    Catalog = std::make_unique<provider::Catalog>();
    const std::string connectionText = BuildConnectionString(user, password, dataSource);
    if (createMissing) Catalog->Create(connectionText);
    Catalog->SetActiveConnection(connectionText);
    Connection = Catalog->ActiveConnection();
    Connected = true;
    UserName = user;
    Password = password;
    DataSource = dataSource;
    return true;
  } catch (const std::exception& e) {
    error = e.what();
    Close();
    return false;
  }
}

bool TDatabase::Reopen(std::string& error) {
  const std::string user = UserName;
  const std::string password = Password;
  const std::string dataSource = DataSource;
  Close();
  return Open(user, password, dataSource, error);
}

void TDatabase::Close() {
  std::shared_ptr<provider::Connection> connection = std::move(Connection);
  Connection.reset();
  UserName.clear();
  Password.clear();
  DataSource.clear();
  Catalog.reset();
  const bool wasConnected = Connected;
  Connected = false;
  if (wasConnected && connection) connection->Close();
}

bool TDatabase::ExecSQL(const std::string& sql, std::string& error) {
  try {
    if (!Connection) throw Error("The connection is closed.");
    Connection->Execute(sql);
    return true;
  } catch (const std::exception& e) {
    error = std::string(e.what()) + ";" + sql;
    return false;
  }
}

bool IsStoreFullError(const std::string& error) { return error.find(provider::DiskFullMessage()) != std::string::npos; }

bool TDatabase::ExecSQLList(const std::vector<std::string>& sqls, std::string& error) {
  bool result = false;
  for (const std::string& sql : sqls) {
    if (sql.empty()) continue;
    result = ExecSQL(sql, error);
    if (!result) break;
  }
  return result;
}

namespace {

provider::Catalog& RequireCatalog(const std::unique_ptr<provider::Catalog>& catalog) {
  if (!catalog) throw Error("The catalog is not connected to a database.");
  return *catalog;
}

}  // namespace

void TDatabase::GetTableNames(std::vector<std::string>& names) {
  for (const provider::Table& table : RequireCatalog(Catalog).Tables()) names.push_back(table.Name());
}

bool TDatabase::OpenQuery(const std::string& sql, Recordset& rs, std::string& error) {
  rs.impl_.reset();
  try {
    rs.impl_ = std::make_unique<provider::Recordset>();
    rs.impl_->Open(sql, Connection);
    return true;
  } catch (const std::exception& e) {
    error = e.what();
    return false;
  }
}

std::shared_ptr<provider::PreparedStatement> TDatabase::Compiled(PreparedSql& statement) {
  if (!Connection) throw Error("The connection is closed.");
  if (!statement.impl_ || statement.impl_->Owner() != Connection) {
    statement.impl_.reset();
    statement.impl_ = std::make_shared<provider::PreparedStatement>(statement.sql_, Connection);
  }
  return statement.impl_;
}

bool TDatabase::ExecSQL(PreparedSql& statement, std::string& error) {
  try {
    Compiled(statement)->Run();
    return true;
  } catch (const std::exception& e) {
    error = std::string(e.what()) + ";" + statement.sql_;
    return false;
  }
}

bool TDatabase::OpenQuery(PreparedSql& statement, Recordset& rs, std::string& error) {
  rs.impl_.reset();
  try {
    rs.impl_ = std::make_unique<provider::Recordset>();
    rs.impl_->Open(Compiled(statement));
    return true;
  } catch (const std::exception& e) {
    error = e.what();
    return false;
  }
}

void TDatabase::CloseQuery(Recordset& rs) {
  rs.Get().Close();
  rs.impl_.reset();
}

void TDatabase::Next(Recordset& rs) { rs.Get().MoveNext(); }
bool TDatabase::Eof(Recordset& rs) { return rs.Get().Eof(); }
bool TDatabase::Bof(Recordset& rs) { return rs.Get().Bof(); }
bool TDatabase::IsEmpty(Recordset& rs) { return Eof(rs) || Bof(rs); }
int TDatabase::FieldCount(Recordset& rs) { return rs.Get().FieldCount(); }

Variant TDatabase::FieldByIndex(Recordset& rs, int index) {
  return rs.Get().Field(index);
}

Variant TDatabase::FieldByName(Recordset& rs, const std::string& name) {
  return rs.Get().Field(name);
}

}  // namespace velt
