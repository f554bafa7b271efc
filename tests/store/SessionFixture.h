// A TDatabaseJet opened on a new file in a temporary folder, with small
// helpers for reading single values.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "store/DatabaseIO.h"
#include "tests/store/TempFolder.h"

namespace velt::testing {

class SessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = folder_.File("index.mdb");
    std::string error;
    ASSERT_TRUE(db_.Open("", "", path_, error)) << error;
  }

  void Exec(const std::string& sql) {
    std::string error;
    ASSERT_TRUE(db_.ExecSQL(sql, error)) << error;
  }

  // First field of the first row.
  Variant Scalar(const std::string& sql) {
    Recordset rs;
    std::string error;
    EXPECT_TRUE(db_.OpenQuery(sql, rs, error)) << error;
    if (!rs.IsAssigned() || db_.IsEmpty(rs)) return Variant();
    Variant value = db_.FieldByIndex(rs, 0);
    db_.CloseQuery(rs);
    return value;
  }

  TempFolder folder_;
  std::string path_;
  TDatabaseJet db_;
};

}  // namespace velt::testing
