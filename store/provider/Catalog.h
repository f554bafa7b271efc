// The schema side of the provider: the catalog of one database file with
// its tables (views included) and their columns, and the source of the
// connection that runs statements.
//
// Tables, their columns and index names are views of the catalog at the
// moment they are read; they keep the connection alive. The provider's
// own tables (the search index's among them) are never listed. Column
// properties are "Nullable" (read-only: false for a NOT NULL column) and
// "Jet OLEDB:Allow Zero Length" (readable and settable on table columns;
// stored in the file). Errors raise velt::Error. One thread at a time.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "store/Variant.h"

namespace velt::provider {

class Connection;

inline constexpr char NullableProperty[] = "Nullable";
inline constexpr char AllowZeroLengthProperty[] = "Jet OLEDB:Allow Zero Length";

class Column {
 public:
  Column(std::shared_ptr<Connection> connection, std::string table, bool inView, std::string name,
         std::string declaredType, bool notNull);
  const std::string& Name() const { return name_; }
  int Type() const;
  Variant GetProperty(const std::string& name) const;
  void SetProperty(const std::string& name, const Variant& value);

 private:
  std::shared_ptr<Connection> connection_;
  std::string table_;
  bool inView_;
  std::string name_;
  std::string declaredType_;
  bool notNull_;
};

class Table {
 public:
  Table(std::shared_ptr<Connection> connection, std::string name, bool isView);
  const std::string& Name() const { return name_; }
  bool IsView() const { return isView_; }
  std::vector<Column> Columns() const;
  // Names of the indexes made by CREATE INDEX on the table (not those the
  // engine makes for keys, nor the provider's own); none for a view.
  std::vector<std::string> IndexNames() const;

 private:
  std::shared_ptr<Connection> connection_;
  std::string name_;
  bool isView_;
};

class Catalog {
 public:
  // Makes a new database file from the connection text and connects to it.
  void Create(const std::string& connectionText);
  // Connects to an existing database file.
  void SetActiveConnection(const std::string& connectionText);
  // The connection of the catalog; raises when not connected.
  std::shared_ptr<Connection> ActiveConnection() const;
  // Tables and views, ordered by name.
  std::vector<Table> Tables() const;
  // The table or view of that name, compared without regard to letter
  // case; raises when there is none.
  Table TableByName(const std::string& name) const;

 private:
  std::shared_ptr<Connection> connection_;
};

}  // namespace velt::provider
