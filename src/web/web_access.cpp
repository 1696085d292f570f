#include "web/web_access.h"

#include <arpa/inet.h>
#include <sys/random.h>
#include <sys/stat.h>

#include <array>
#include <cerrno>
#include <charconv>

#include "common/error_text.h"
#include "common/file_io.h"

namespace tern {

namespace {

constexpr std::size_t kTokenBytes = 16;
constexpr std::string_view kHexDigits = "0123456789abcdef";

// A token file others can read (copied in, or made by an older version) is made the owner's
// alone again at every start. A file that cannot be changed keeps serving, with a warning.
std::string keepPrivate(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0 || (status.st_mode & 077) == 0) return {};
  if (::chmod(path.c_str(), S_IRUSR | S_IWUSR) == 0) return {};
  return "Der Zugangsschlüssel " + path + " ist für andere lesbar und lässt sich nicht schützen (" +
         systemErrorText(errno) + ").";
}

bool isToken(std::string_view text) {
  return text.size() == 2 * kTokenBytes &&
         text.find_first_not_of(kHexDigits) == std::string_view::npos;
}

std::optional<int> portOf(std::string_view text) {
  int port = -1;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), port);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size() || port < 0 ||
      port > 65535)
    return std::nullopt;
  return port;
}

}  // namespace

ListenAddressText parseListenAddress(std::string_view text) {
  const std::string refused = "Die Adresse \"" + std::string(text) +
                              "\" ist nicht als [ADRESSE:]PORT zu lesen (etwa 8080, "
                              "0.0.0.0:8080 oder [::]:8080).";
  ListenAddress address;
  std::string_view portText = text;
  if (const std::size_t colon = text.rfind(':'); colon != std::string_view::npos) {
    std::string_view host = text.substr(0, colon);
    portText = text.substr(colon + 1);
    const bool bracketed = host.size() > 2 && host.front() == '[' && host.back() == ']';
    if (bracketed) host = host.substr(1, host.size() - 2);
    address.host = std::string(host);
    std::array<unsigned char, 16> bytes{};
    if (host == "localhost" && !bracketed) {
      address.host = "127.0.0.1";
    } else if (!bracketed && ::inet_pton(AF_INET, address.host.c_str(), bytes.data()) == 1) {
      address.loopback = bytes[0] == 127;
    } else if (bracketed && ::inet_pton(AF_INET6, address.host.c_str(), bytes.data()) == 1) {
      static constexpr std::array<unsigned char, 16> kLoopback6{0, 0, 0, 0, 0, 0, 0, 0,
                                                                0, 0, 0, 0, 0, 0, 0, 1};
      address.loopback = bytes == kLoopback6;
    } else {
      return {std::nullopt, refused};
    }
  }
  const std::optional<int> port = portOf(portText);
  if (!port) return {std::nullopt, refused};
  address.port = *port;
  return {address, ""};
}

std::string newWebToken() {
  std::array<unsigned char, kTokenBytes> bytes{};
  std::size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t n = ::getrandom(bytes.data() + got, bytes.size() - got, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return {};
    got += static_cast<std::size_t>(n);
  }
  std::string token;
  for (unsigned char b : bytes) {
    token += kHexDigits[b >> 4];
    token += kHexDigits[b & 15];
  }
  return token;
}

WebTokenFile LoadOrCreateWebToken(const std::string& dataFolder) {
  const std::string path = dataFolder + std::string(kWebTokenFile);
  if (fileExists(path)) {
    const FileData data = readWholeFile(path, 4096);
    if (!data.status.ok)
      return {"", false,
              "Der Zugangsschlüssel " + path + " ist nicht lesbar (" + data.status.message +
                  "); die Seite wird nur auf diesem Rechner angeboten."};
    std::string_view text(reinterpret_cast<const char*>(data.bytes.data()), data.bytes.size());
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
      text.remove_suffix(1);
    if (isToken(text)) return {std::string(text), false, keepPrivate(path)};
  }
  WebTokenFile file{newWebToken(), true, ""};
  if (file.token.empty())
    return {"", false,
            std::string("Für die Seite lässt sich kein Zugangsschlüssel erzeugen (") +
                systemErrorText(errno) + ")."};
  const std::string line = file.token + "\n";
  const FileStatus written = replacePrivateFileAtomically(
      path, ByteView(reinterpret_cast<const std::uint8_t*>(line.data()), line.size()));
  if (!written.ok) return {"", false, "Der Zugangsschlüssel: " + written.message + "."};
  return file;
}

}  // namespace tern
