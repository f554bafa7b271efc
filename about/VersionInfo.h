// The version block that the build embeds in an executable, and the window
// captions made from it.
//
// An executable whose CMake target calls velt_embed_version(target) (see
// about/CMakeLists.txt) carries a small text block with the string values
// "FileVersion" (the four-part project version) and "FileDescription" (the
// project description). GetVersionString finds the block by scanning the
// file for its unique start and end markers, so it works on any file, also
// one that is not running. A file without the block, an unreadable file or
// a key that the block lacks gives the empty text.
//
// SetVersionCaption gives a window the caption "<title> Ver.<FileVersion> -
// <object name>", for example "Veltindexer Ver.0.1.0.0 - MainForm".
//
// Thread safety: GetVersionString and VersionCaption only read the file and
// may run on any thread; SetVersionCaption touches a widget and belongs to
// the main thread.
#pragma once

#include <string>

class QWidget;

namespace velt {

// One string value of the file's version block, with leading and trailing
// blanks and control characters removed; empty when there is none.
std::string GetVersionString(const std::string& key, const std::string& filePath);

// The caption that SetVersionCaption gives a window named windowName when
// the program is the executable at executablePath.
std::string VersionCaption(const std::string& executablePath, const std::string& windowName);

// Sets the window's caption from the running executable and the window's
// object name.
void SetVersionCaption(QWidget& window);

}  // namespace velt
