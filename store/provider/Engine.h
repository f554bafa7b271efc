// File-level operations of the provider.
//
// CompactDatabase writes a compacted copy of the source database into the
// destination path, which must not exist or be an empty file, and gives the
// copy the destination text's password. The source must not be open
// elsewhere in a way that holds changes outside the file: it is opened
// (its password checked), copied in one consistent snapshot and closed.
// The copy is on disk when the call returns. Raises velt::Error. No shared
// state; one call at a time per file.
#pragma once

#include <string>

namespace velt::provider {

class Engine {
 public:
  void CompactDatabase(const std::string& sourceConnectionText,
                       const std::string& destinationConnectionText);
};

}  // namespace velt::provider
