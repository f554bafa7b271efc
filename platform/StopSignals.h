// SIGINT and SIGTERM as a stop request that the main thread polls.
//
// After CatchStopSignals the first of the two signals only sets the
// request; the handlers then fall back to the system's default, so a
// second one ends the process at once. StopSignalReceived may be called
// from any thread.
#pragma once

namespace velt {

void CatchStopSignals();
bool StopSignalReceived();

}  // namespace velt
