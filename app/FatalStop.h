// The one notice of a failed start: a stop-icon box that the user closes.
// It does not end the program. Main thread only.
#pragma once

#include "session/RunLog.h"  // FatalStopText

namespace velt {

void FatalStop();

}  // namespace velt
