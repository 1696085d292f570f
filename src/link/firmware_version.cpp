#include "link/firmware_version.h"

#include "link/protocol.h"

namespace tern {

namespace {

constexpr std::size_t kLookAt = protocol::kIdentityTextLength;

std::optional<std::int64_t> decimal(std::string_view s) {
  if (s.empty() || s.size() > 9) return std::nullopt;
  std::int64_t v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
  }
  return v;
}

}  // namespace

std::optional<std::int64_t> FirmwareVersionNumber(std::string_view text) {
  std::size_t first = text.find('.');
  if (first == std::string_view::npos) return std::nullopt;
  std::string_view afterFirst = text.substr(first + 1).substr(0, kLookAt);
  std::size_t second = afterFirst.find('.');
  if (second == std::string_view::npos) return std::nullopt;
  std::string_view patchText = text.substr(first + 1 + second + 1).substr(0, kLookAt);
  auto major = decimal(text.substr(0, first));
  auto minor = decimal(afterFirst.substr(0, second));
  auto patch = decimal(patchText);
  if (!major || !minor || !patch) return std::nullopt;
  return *major * 10000 + *minor * 100 + *patch;
}

}  // namespace tern
