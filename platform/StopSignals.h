// SIGINT, SIGTERM and SIGHUP as a stop request that the main thread polls,
// and SIGPIPE made harmless.
//
// After CatchStopSignals the first of the three signals only sets the
// request; the handlers then fall back to the system's default, so a
// second one ends the process at once. A closed terminal (SIGHUP) thus
// ends a run as a stop does, with its files closed. StopSignalReceived may
// be called from any thread.
//
// IgnoreBrokenPipes: a write to a pipe or socket whose reader is gone
// then fails with EPIPE instead of ending the process, so a run whose
// output is cut (`| head`) still reaches its orderly end.
#pragma once

namespace velt {

void CatchStopSignals();
bool StopSignalReceived();
void IgnoreBrokenPipes();

}  // namespace velt
