// Where the window hands an article's URL to be opened: the desktop's
// browser through the platform's URL handler (xdg-open on Linux), or a
// stand-in that a test puts in its place.
//
// Main thread only.
#pragma once

#include <string>

namespace velt {

class UrlHandler {
 public:
  virtual ~UrlHandler() = default;
  // False when the desktop could not open it.
  virtual bool Open(const std::string& url) = 0;
};

// The platform's handler; lives as long as the process.
UrlHandler& DesktopUrlHandler();

}  // namespace velt
