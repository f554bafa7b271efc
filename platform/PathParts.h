// The parts of a file path with '/' separators. Pure functions; safe on
// any thread.
#pragma once

#include <string>

namespace velt {

// The folder that holds the path's last part, without a trailing
// separator: "." for a bare file name, "/" for a file at the root.
std::string FolderOf(const std::string& path);

// The path's last part: the file name without its folder.
std::string FileNameOf(const std::string& path);

// The path of `name` inside `folder` (as FolderOf gives it).
std::string PathIn(const std::string& folder, const std::string& name);

}  // namespace velt
