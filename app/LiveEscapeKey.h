// The keyboard's live state of the Escape key, read from the X server
// without the event loop. False where the application does not run on X11
// (another platform plugin, offscreen). Main thread only: it uses the
// application's display connection.
#pragma once

namespace velt {

bool IsEscapeKeyDownNow();

}  // namespace velt
