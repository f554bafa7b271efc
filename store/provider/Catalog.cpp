#include "store/provider/Catalog.h"

#include "platform/Error.h"
#include "store/provider/ColumnRules.h"
#include "store/provider/Connection.h"
#include "store/provider/ConnectionString.h"
#include "store/provider/DataTypes.h"
#include "store/provider/FileMeta.h"
#include "store/provider/SqliteCalls.h"

namespace velt::provider {

Column::Column(std::shared_ptr<Connection> connection, std::string table, bool inView, std::string name,
               std::string declaredType, bool notNull)
    : connection_(std::move(connection)),
      table_(std::move(table)),
      inView_(inView),
      name_(std::move(name)),
      declaredType_(std::move(declaredType)),
      notNull_(notNull) {}

int Column::Type() const { return DataTypeOfDeclaration(declaredType_); }

namespace {

[[noreturn]] void ThrowUnknownProperty(const std::string& name) {
  throw Error("The column has no property named \"" + name + "\".");
}

}  // namespace

Variant Column::GetProperty(const std::string& name) const {
  if (name == NullableProperty) return Variant(!notNull_);
  if (name == AllowZeroLengthProperty)
    return Variant(!inView_ && ReadAllowZeroLength(connection_->Handle(), table_, name_));
  ThrowUnknownProperty(name);
}

void Column::SetProperty(const std::string& name, const Variant& value) {
  if (name == NullableProperty)
    throw Error("The property \"Nullable\" of the existing column '" + table_ + "." + name_ +
                "' cannot be changed.");
  if (name != AllowZeroLengthProperty) ThrowUnknownProperty(name);
  if (inView_) throw Error("The columns of the view '" + table_ + "' have no settable properties.");
  const bool allow = value.GetKind() == Variant::Kind::Bool ? value == Variant(true) : value.AsInteger() != 0;
  sqlite3* db = connection_->Handle();
  RunAsOneWrite(db, [&] {
    WriteAllowZeroLength(db, table_, name_, allow);
    RebuildColumnRules(db, table_);
  });
}

Table::Table(std::shared_ptr<Connection> connection, std::string name, bool isView)
    : connection_(std::move(connection)), name_(std::move(name)), isView_(isView) {}

std::vector<Column> Table::Columns() const {
  std::vector<Column> columns;
  for (ColumnInfo& info : ReadColumns(connection_->Handle(), name_))
    columns.emplace_back(connection_, name_, isView_, std::move(info.name), std::move(info.declaredType),
                         info.notNull);
  return columns;
}

std::vector<std::string> Table::IndexNames() const {
  EngineStatement query(connection_->Handle(),
                        "SELECT name FROM sqlite_schema WHERE type='index' AND tbl_name=? COLLATE NOCASE "
                        "AND sql IS NOT NULL ORDER BY name COLLATE NOCASE");
  query.Bind(1, name_);
  std::vector<std::string> names;
  while (query.Step()) {
    std::string name = query.Text(0);
    if (!IsMetaTableName(name)) names.push_back(std::move(name));
  }
  return names;
}

void Catalog::Create(const std::string& connectionText) {
  connection_ = Connection::CreateFile(ParseConnectionString(connectionText));
}

void Catalog::SetActiveConnection(const std::string& connectionText) {
  const ConnectionSettings settings = ParseConnectionString(connectionText);
  connection_.reset();
  connection_ = Connection::OpenFile(settings);
}

std::shared_ptr<Connection> Catalog::ActiveConnection() const {
  if (!connection_ || !connection_->IsOpen()) throw Error("The catalog is not connected to a database.");
  return connection_;
}

std::vector<Table> Catalog::Tables() const {
  auto connection = ActiveConnection();
  EngineStatement query(connection->Handle(),
                        "SELECT name, type FROM sqlite_schema WHERE type IN ('table','view') "
                        "AND substr(name, 1, 7) <> 'sqlite_' ORDER BY name COLLATE NOCASE");
  std::vector<Table> tables;
  while (query.Step()) {
    std::string name = query.Text(0);
    if (!IsMetaTableName(name)) tables.emplace_back(connection, std::move(name), query.Text(1) == "view");
  }
  return tables;
}

Table Catalog::TableByName(const std::string& name) const {
  auto connection = ActiveConnection();
  EngineStatement query(connection->Handle(),
                        "SELECT name, type FROM sqlite_schema WHERE type IN ('table','view') "
                        "AND name=? COLLATE NOCASE");
  query.Bind(1, name);
  if (!query.Step() || IsMetaTableName(query.Text(0)))
    throw Error("The database has no table or view named \"" + name + "\".");
  return Table(connection, query.Text(0), query.Text(1) == "view");
}

}  // namespace velt::provider
