// Launcher files ("shortcuts") that start the program from a folder such as
// the desktop.
//
// CreateShortcut writes "<folder>/<name>.desktop", a desktop entry that
// starts the target with the argument "/starup" in the target's folder,
// replacing a file of that name, and marks it executable (desktops trust
// only executable launchers). It raises velt::Error with a text for the
// user when the folder is unknown (empty) or the file cannot be written.
// DesktopEntryText is the file's content.
//
// Safe on any thread; two writers of the same file leave one of the two
// complete versions.
#pragma once

#include <string>

namespace velt {

void CreateShortcut(const std::string& target, const std::string& folder, const std::string& name);

std::string DesktopEntryText(const std::string& target, const std::string& name);

}  // namespace velt
