// Whole-file reading for the small system files the About window shows
// figures from (/proc, os-release). Safe on any thread.
#pragma once

#include <string>

namespace velt {

// The file's bytes; empty when it cannot be read.
std::string ReadTextFile(const std::string& path);

}  // namespace velt
