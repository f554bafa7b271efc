#include "about/TextFile.h"

#include <fstream>
#include <sstream>

namespace velt {

std::string ReadTextFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return {};
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

}  // namespace velt
