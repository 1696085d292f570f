// Debian's chromium, headless, driven over the DevTools protocol on a pair of pipes
// (--remote-debugging-pipe: commands on its descriptor 3, answers and events on 4, each a JSON
// text ended by a NUL byte), so the tests need no port and no WebSocket library.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace tern::testing {

// The chromium program on PATH, or empty when it is not installed.
std::string findChromium();

// Thread: the test's thread only.
class HeadlessBrowser {
 public:
  // Starts `chromium` with a fresh profile in `profileFolder` and opens one page of
  // `width` x `height` CSS pixels. ok() tells whether that worked.
  HeadlessBrowser(const std::string& chromium, const std::string& profileFolder, int width,
                  int height);
  ~HeadlessBrowser();
  HeadlessBrowser(const HeadlessBrowser&) = delete;
  HeadlessBrowser& operator=(const HeadlessBrowser&) = delete;

  bool ok() const { return !session_.empty(); }
  const std::string& failure() const { return failure_; }

  // A command to the page; its "result", or nothing on an error or after `timeout`.
  std::optional<nlohmann::json> call(const std::string& method, nlohmann::json params = {},
                                     std::chrono::milliseconds timeout = std::chrono::seconds(20));
  // The value of a JavaScript expression in the page (awaited when it is a promise).
  nlohmann::json evaluate(const std::string& expression);
  // Evaluates `expression` until it is true or `timeout` passed; true when it became true.
  bool waitUntil(const std::string& expression, std::chrono::milliseconds timeout);
  // Loads `url` and waits for its load event.
  bool navigate(const std::string& url);
  // The page as shown, as PNG bytes (the whole page when `fullPage`).
  std::string screenshot(bool fullPage = false);

 private:
  std::optional<nlohmann::json> send(const std::string& method, nlohmann::json params,
                                     const std::string& session, std::chrono::milliseconds timeout);
  // The next message from the browser, or nothing after `timeout`.
  std::optional<nlohmann::json> receive(std::chrono::milliseconds timeout);

  pid_t pid_ = -1;
  int toBrowser_ = -1;
  int fromBrowser_ = -1;
  std::string buffer_;
  int nextId_ = 1;
  std::string session_;
  std::string failure_;
  bool loaded_ = false;  // a load event came since the last navigate
};

// Bytes from base64 text (the screenshots come so).
std::string decodeBase64(const std::string& text);

}  // namespace tern::testing
