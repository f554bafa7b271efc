// The application title: the caption of every message box and the start of
// every window caption.
//
// The program never sets a title of its own, so it follows from the
// executable's file name: the name without its folder, cut at its first ".",
// with every character after the first in lower case ("VeltIndexer" gives
// "Veltindexer", "A.B" gives "A"). Pure functions of the path; safe on any
// thread.
#pragma once

#include <string>

namespace velt {

// The title of the running program (from ExecutablePath()).
std::string ApplicationTitle();

// The title that an executable at this path has (UTF-8 path).
std::string ApplicationTitleOf(const std::string& executablePath);

}  // namespace velt
