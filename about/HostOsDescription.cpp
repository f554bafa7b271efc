#include "about/HostOsDescription.h"

#include <sys/utsname.h>

#include <map>
#include <sstream>

#include "about/TextFile.h"

namespace velt {
namespace {

// One os-release value: either wholly in single quotes (taken as is), or
// in double quotes or bare, with backslash escapes.
std::string Unquoted(std::string raw) {
  while (!raw.empty() && (raw.back() == '\r' || raw.back() == ' ')) raw.pop_back();
  if (raw.size() >= 2 && (raw.front() == '"' || raw.front() == '\'') && raw.back() == raw.front()) {
    const bool single = raw.front() == '\'';
    raw = raw.substr(1, raw.size() - 2);
    if (single) return raw;
  }
  std::string value;
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '\\' && i + 1 < raw.size()) ++i;
    value += raw[i];
  }
  return value;
}

std::map<std::string, std::string> ParseOsRelease(const std::string& text) {
  std::map<std::string, std::string> fields;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    const size_t equals = line.find('=');
    if (line.empty() || line[0] == '#' || equals == std::string::npos) continue;
    fields[line.substr(0, equals)] = Unquoted(line.substr(equals + 1));
  }
  return fields;
}

}  // namespace

std::string DescribeHostSystem(const std::string& osRelease, const std::string& kernelRelease,
                               const std::string& machine) {
  std::map<std::string, std::string> fields = ParseOsRelease(osRelease);
  std::string name = fields["PRETTY_NAME"];
  if (name.empty()) name = fields["NAME"].empty() ? fields["NAME"] : fields["NAME"] + " " + fields["VERSION"];
  while (!name.empty() && name.back() == ' ') name.pop_back();
  std::string kernel = "Linux";
  if (!kernelRelease.empty()) kernel += " " + kernelRelease;
  if (!machine.empty()) kernel += " " + machine;
  return name.empty() ? kernel : name + " (" + kernel + ")";
}

std::string GetOsDescription() {
  std::string osRelease = ReadTextFile("/etc/os-release");
  if (osRelease.empty()) osRelease = ReadTextFile("/usr/lib/os-release");
  struct utsname system {};
  if (uname(&system) != 0) return DescribeHostSystem(osRelease, "", "");
  return DescribeHostSystem(osRelease, system.release, system.machine);
}

}  // namespace velt
