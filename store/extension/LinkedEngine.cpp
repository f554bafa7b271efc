#include "store/extension/LinkedEngine.h"

#include <sqlite3.h>

namespace velt::extension {

const void* LinkedEngineEntry() { return reinterpret_cast<const void*>(&sqlite3_libversion_number); }

}  // namespace velt::extension
