// Keeps the credentials of a --proxy URL out of the process list.
//
// The arguments a process was started with stay readable by every local
// user (/proc/PID/cmdline, ps) for as long as it runs. BlankSecretArguments
// overwrites, in place, the user part of the proxy URL given with
// "--proxy URL" or "--proxy=URL" (user, password or a token, up to the
// "@") with '*', keeping the length: the rest of the line still shows what
// the run was asked to do. Call it once the arguments have been copied
// for parsing, before anything else runs. Main thread, at start.
#pragma once

namespace velt {

void BlankSecretArguments(int argc, char* argv[]);

}  // namespace velt
