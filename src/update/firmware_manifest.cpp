#include "update/firmware_manifest.h"

#include <array>
#include <cctype>

#include "link/firmware_version.h"

namespace tern {

namespace {

enum Key { kVersion, kBootSha256, kFirmwareSha256, kUnlock, kKeyCount };
constexpr std::array<std::string_view, kKeyCount> kKeyNames = {"version", "boot_sha256",
                                                               "firmware_sha256", "unlock"};

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

// Exactly `digits` hex digits, as lowercase; nothing otherwise.
std::optional<std::string> hexDigits(std::string_view value, std::size_t digits) {
  if (value.size() != digits) return std::nullopt;
  std::string out;
  for (char c : value) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
    out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return out;
}

int hexValue(char c) { return c <= '9' ? c - '0' : c - 'a' + 10; }

}  // namespace

ManifestReading ParseFirmwareManifest(std::string_view text) {
  ManifestReading reading;
  auto wrong = [&reading](int line, const std::string& what) {
    reading.problem = (line > 0 ? "Zeile " + std::to_string(line) + ": " : std::string()) + what;
    return reading;
  };
  std::array<bool, kKeyCount> seen{};
  FirmwareManifest m;
  int lineNumber = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = trimmed(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++lineNumber;
    if (line.empty() || line.front() == '#') continue;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return wrong(lineNumber, "kein Eintrag der Form key=value");
    const std::string_view key = trimmed(line.substr(0, eq));
    const std::string_view value = trimmed(line.substr(eq + 1));
    std::size_t k = 0;
    while (k < kKeyCount && kKeyNames[k] != key) ++k;
    if (k == kKeyCount)
      return wrong(lineNumber, "unbekannter Schlüssel \"" + std::string(key) + "\"");
    if (seen[k]) return wrong(lineNumber, "\"" + std::string(key) + "\" steht doppelt");
    seen[k] = true;
    std::optional<std::string> hex;
    switch (static_cast<Key>(k)) {
      case kVersion:
        if (!FirmwareVersionNumber(value))
          return wrong(lineNumber, "die Version ist nicht von der Form 1.2.4");
        m.version = std::string(value);
        break;
      case kBootSha256:
      case kFirmwareSha256:
        if (!(hex = hexDigits(value, 64)))
          return wrong(lineNumber, "\"" + std::string(key) + "\" braucht 64 Hexziffern");
        (k == kBootSha256 ? m.bootSha256 : m.firmwareSha256) = *hex;
        break;
      case kUnlock:
        if (!(hex = hexDigits(value, 2 * protocol::kUnlockLength)))
          return wrong(lineNumber, "\"unlock\" braucht 12 Hexziffern");
        for (std::size_t i = 0; i < protocol::kUnlockLength; ++i)
          m.unlock[i] =
              static_cast<std::uint8_t>(hexValue((*hex)[2 * i]) * 16 + hexValue((*hex)[2 * i + 1]));
        break;
      case kKeyCount:
        break;
    }
  }
  for (std::size_t k = 0; k < kKeyCount; ++k)
    if (!seen[k]) return wrong(0, "der Eintrag \"" + std::string(kKeyNames[k]) + "\" fehlt");
  reading.manifest = std::move(m);
  return reading;
}

}  // namespace tern
