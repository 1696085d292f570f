// The texts of the system information window that do not need the window toolkit: the name
// of the operating system (the software version is common/version.h). A Linux system is named by
// its distribution's pretty name and the kernel's major and minor version, e.g. "Debian GNU/Linux
// 12 (bookworm), Linux 6.1": the kernel number alone tells a user nothing.
#pragma once

#include <string>
#include <string_view>

namespace tern {

// PRETTY_NAME of an os-release file's content (quotes and backslash escapes removed), else
// NAME, else empty.
std::string osReleasePrettyName(std::string_view osRelease);

// "6.1" of a kernel release such as "6.1.0-18-amd64"; the release as it is when it does not
// start with two numbers.
std::string kernelMajorMinor(std::string_view release);

// The distribution's name and "Linux" with the kernel version; either part alone when the
// other is unknown, "Linux" when both are.
std::string systemName(std::string_view osRelease, std::string_view kernelRelease);

// systemName of this machine, from /etc/os-release (or /usr/lib/os-release) and uname.
std::string currentSystemName();

}  // namespace tern
