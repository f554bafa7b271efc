// The desktop services that the About window's links use.
//
// Open hands a folder, file, web address or mail link to the desktop's
// default application; ShowFileProperties asks the desktop file manager for
// its properties dialog of a file; SpecialFolderPath names the user's
// folders that shortcuts go to. None of them reports failure: if the
// desktop cannot do it, nothing happens, and a folder the desktop does not
// have is the empty text.
//
// DesktopShell() is the real one (QDesktopServices, the file manager's
// org.freedesktop.FileManager1 D-Bus interface where Qt D-Bus was built
// in, the XDG user folders); tests pass their own Shell to the window.
// Main thread only.
#pragma once

#include <string>

namespace velt {

enum class SpecialFolder {
  Desktop,
  Startup,  // programs started with the user's session (XDG autostart)
  SendTo,   // this desktop has none
};

class Shell {
 public:
  virtual ~Shell() = default;
  virtual void Open(const std::string& target) = 0;
  virtual void ShowFileProperties(const std::string& path) = 0;
  virtual std::string SpecialFolderPath(SpecialFolder folder) = 0;
};

Shell& DesktopShell();

}  // namespace velt
