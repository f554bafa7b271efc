// This platform's operating-system description for the About window.
//
// The system offers no version record of the classic desktop family, so
// the description is the distribution's name and version from os-release
// with the kernel release and machine, for example
// "Debian GNU/Linux 12 (bookworm) (Linux 6.1.0-18-amd64 x86_64)".
//
// GetOsDescription reads /etc/os-release (or /usr/lib/os-release) and
// uname; DescribeHostSystem is the pure part. Safe on any thread.
#pragma once

#include <string>

namespace velt {

std::string GetOsDescription();

// osRelease is the text of an os-release file ("" when there is none).
std::string DescribeHostSystem(const std::string& osRelease, const std::string& kernelRelease,
                               const std::string& machine);

}  // namespace velt
