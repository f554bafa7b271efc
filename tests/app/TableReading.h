// Test support: a table of search hits read back by Python's own csv and
// json modules, as another program would read what we write.
#pragma once

#include <QByteArray>
#include <string>
#include <vector>

namespace velt::test {

using Table = std::vector<std::vector<std::string>>;

// The rows of `bytes` as "csv" (which must start with the UTF-8
// byte-order mark), "tsv" (the tab dialect) or "json" (an array of
// objects, given back as a header row of the first object's keys and one
// row of values per object, each object holding those keys in that
// order). Empty, with a test failure, when Python refuses the text.
Table ReadTable(const QByteArray& bytes, const char* format);

}  // namespace velt::test
