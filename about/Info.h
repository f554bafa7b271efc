// The About window, as the rest of the program calls it.
//
// ShowAboutBox creates the window, shows it modally and destroys it when it
// closes, also when showing it raised an error (which then propagates).
// Main thread only; a QApplication must exist.
#pragma once

namespace velt {

void ShowAboutBox();

}  // namespace velt
