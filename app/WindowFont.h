// The font of the main window: a Japanese monospace face, 13 pixels high.
//
// The first installed face of a short preference list is taken, so the
// window looks the same wherever the usual Japanese system font is
// missing. Main thread only (it asks the GUI's font database).
#pragma once

#include <QFont>

namespace velt {

QFont MainWindowFont();

}  // namespace velt
