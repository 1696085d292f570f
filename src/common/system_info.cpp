#include "common/system_info.h"

#include <sys/utsname.h>

#include <cctype>

#include "common/file_io.h"

namespace tern {

namespace {

// The value of an os-release assignment: shell-like quoting, as the file format allows.
std::string unquote(std::string_view value) {
  if (value.empty() || (value.front() != '"' && value.front() != '\'')) {
    return std::string(value);
  }
  const char quote = value.front();
  std::string out;
  for (std::size_t i = 1; i < value.size() && value[i] != quote; ++i) {
    if (value[i] == '\\' && quote == '"' && i + 1 < value.size()) ++i;
    out.push_back(value[i]);
  }
  return out;
}

std::string valueOf(std::string_view content, std::string_view key) {
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t end = content.find('\n', start);
    if (end == std::string_view::npos) end = content.size();
    std::string_view line = content.substr(start, end - start);
    if (line.size() > key.size() && line.substr(0, key.size()) == key && line[key.size()] == '=') {
      return unquote(line.substr(key.size() + 1));
    }
    start = end + 1;
  }
  return {};
}

// The leading decimal number of `text` from `at` on; `at` moves past it.
bool takeNumber(std::string_view text, std::size_t& at) {
  const std::size_t from = at;
  while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) ++at;
  return at > from;
}

}  // namespace

std::string osReleasePrettyName(std::string_view osRelease) {
  std::string name = valueOf(osRelease, "PRETTY_NAME");
  if (name.empty()) name = valueOf(osRelease, "NAME");
  return name;
}

std::string kernelMajorMinor(std::string_view release) {
  std::size_t at = 0;
  if (!takeNumber(release, at) || at >= release.size() || release[at] != '.') {
    return std::string(release);
  }
  ++at;
  if (!takeNumber(release, at)) return std::string(release);
  return std::string(release.substr(0, at));
}

std::string systemName(std::string_view osRelease, std::string_view kernelRelease) {
  const std::string distribution = osReleasePrettyName(osRelease);
  const std::string kernel =
      kernelRelease.empty() ? std::string() : "Linux " + kernelMajorMinor(kernelRelease);
  if (distribution.empty()) return kernel.empty() ? "Linux" : kernel;
  if (kernel.empty()) return distribution;
  return distribution + ", " + kernel;
}

std::string currentSystemName() {
  constexpr std::size_t kMaxOsRelease = 64 * 1024;
  FileData file = readWholeFile("/etc/os-release", kMaxOsRelease);
  if (!file.status) file = readWholeFile("/usr/lib/os-release", kMaxOsRelease);
  const std::string content(file.bytes.begin(), file.bytes.end());
  struct utsname uts {};
  const std::string release = ::uname(&uts) == 0 ? std::string(uts.release) : std::string();
  return systemName(content, release);
}

}  // namespace tern
