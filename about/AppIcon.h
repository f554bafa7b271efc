// The program's icon, drawn in code so that no image file has to travel
// with the executable: a sheet of text under a magnifying glass.
//
// The About window shows the application's window icon when one is set,
// else this one; the main program may set it as the window icon
// (QApplication::setWindowIcon(ApplicationIcon())). Main thread only (it
// paints pixmaps).
#pragma once

#include <QIcon>

namespace velt {

QIcon ApplicationIcon();

}  // namespace velt
