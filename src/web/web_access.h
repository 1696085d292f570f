// Who may open the web page: the address the service listens on and, away from the loopback
// address, the token a visitor must bring.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tern {

struct ListenAddress {
  std::string host = "127.0.0.1";  // an IPv4 or IPv6 address as given (IPv6 without brackets)
  int port = 0;
  bool loopback = true;  // only this computer can connect: no token asked
};

struct ListenAddressText {
  std::optional<ListenAddress> address;
  std::string problem;  // German, when `address` is empty
};
// "[ADDRESS:]PORT": "8080", "0.0.0.0:8080", "192.168.1.5:8080", "[::]:8080", "localhost:8080".
// A host name other than "localhost" is refused: the service would not know which of its
// addresses it stands for.
ListenAddressText parseListenAddress(std::string_view text);

inline constexpr std::string_view kWebTokenFile = "web_token.txt";

// 32 hexadecimal digits from the kernel's random source; empty when it cannot be read.
std::string newWebToken();

struct WebTokenFile {
  std::string token;     // empty when none could be had: the page must not be served
  bool created = false;  // new, so the service prints it once
  std::string problem;   // German, with the system's reason
};
// The token kept in the data folder (ending with '/'), readable by its owner only. A missing
// or damaged file is replaced by a new token; one that cannot be read is left alone.
WebTokenFile LoadOrCreateWebToken(const std::string& dataFolder);

}  // namespace tern
