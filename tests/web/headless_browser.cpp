#include "web/headless_browser.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>
#include <vector>

extern char** environ;

namespace tern::testing {

using nlohmann::json;
using Clock = std::chrono::steady_clock;

std::string findChromium() {
  const char* path = std::getenv("PATH");
  std::istringstream folders(path != nullptr ? path : "/usr/bin");
  for (std::string folder; std::getline(folders, folder, ':');) {
    const std::filesystem::path candidate = std::filesystem::path(folder) / "chromium";
    if (::access(candidate.c_str(), X_OK) == 0) return candidate.string();
  }
  return {};
}

HeadlessBrowser::HeadlessBrowser(const std::string& chromium, const std::string& profileFolder,
                                 int width, int height) {
  int commands[2], answers[2];
  if (::pipe2(commands, O_CLOEXEC) != 0 || ::pipe2(answers, O_CLOEXEC) != 0) {
    failure_ = "no pipes";
    return;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, commands[0], 3);
  posix_spawn_file_actions_adddup2(&actions, answers[1], 4);
  const int quiet = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  posix_spawn_file_actions_adddup2(&actions, quiet, 1);
  posix_spawn_file_actions_adddup2(&actions, quiet, 2);
  std::vector<std::string> args = {
      chromium,
      "--headless=new",
      "--no-sandbox",
      "--disable-gpu",
      "--no-first-run",
      "--no-default-browser-check",
      "--disable-extensions",
      "--disable-background-networking",
      "--hide-scrollbars",
      "--remote-debugging-pipe",
      "--user-data-dir=" + profileFolder,
      "--window-size=" + std::to_string(width) + "," + std::to_string(height),
      "about:blank"};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const int spawned = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(quiet);
  ::close(commands[0]);
  ::close(answers[1]);
  toBrowser_ = commands[1];
  fromBrowser_ = answers[0];
  if (spawned != 0) {
    pid_ = -1;
    failure_ = "chromium did not start";
    return;
  }
  const auto target =
      send("Target.createTarget", {{"url", "about:blank"}}, "", std::chrono::seconds(30));
  if (!target) {
    failure_ = "no page from chromium";
    return;
  }
  const auto attached =
      send("Target.attachToTarget", {{"targetId", (*target)["targetId"]}, {"flatten", true}}, "",
           std::chrono::seconds(10));
  if (!attached) {
    failure_ = "could not attach to the page";
    return;
  }
  session_ = (*attached)["sessionId"];
  // The size a phone or a screen shows, whatever the headless window's own size.
  call("Emulation.setDeviceMetricsOverride",
       {{"width", width}, {"height", height}, {"deviceScaleFactor", 1}, {"mobile", width < 600}});
  call("Page.enable");
  call("Runtime.enable");
}

HeadlessBrowser::~HeadlessBrowser() {
  if (toBrowser_ >= 0) ::close(toBrowser_);
  if (fromBrowser_ >= 0) ::close(fromBrowser_);
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    // Chromium ends its helper processes itself when asked; a stuck one is killed.
    for (int i = 0; i < 50; ++i) {
      if (::waitpid(pid_, nullptr, WNOHANG) == pid_) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
}

std::optional<json> HeadlessBrowser::call(const std::string& method, json params,
                                          std::chrono::milliseconds timeout) {
  if (session_.empty()) return std::nullopt;
  return send(method, std::move(params), session_, timeout);
}

std::optional<json> HeadlessBrowser::send(const std::string& method, json params,
                                          const std::string& session,
                                          std::chrono::milliseconds timeout) {
  const int id = nextId_++;
  json message = {{"id", id}, {"method", method}};
  if (!params.is_null()) message["params"] = std::move(params);
  if (!session.empty()) message["sessionId"] = session;
  std::string text = message.dump();
  text.push_back('\0');
  for (std::size_t done = 0; done < text.size();) {
    const ssize_t n = ::write(toBrowser_, text.data() + done, text.size() - done);
    if (n <= 0) return std::nullopt;
    done += static_cast<std::size_t>(n);
  }
  const auto end = Clock::now() + timeout;
  while (Clock::now() < end) {
    auto answer =
        receive(std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()));
    if (!answer) return std::nullopt;
    if (answer->value("method", "") == "Page.loadEventFired") loaded_ = true;
    if (answer->value("id", 0) != id) continue;
    if (answer->contains("error")) {
      failure_ = (*answer)["error"].dump();
      return std::nullopt;
    }
    return (*answer)["result"];
  }
  return std::nullopt;
}

std::optional<json> HeadlessBrowser::receive(std::chrono::milliseconds timeout) {
  const auto end = Clock::now() + timeout;
  for (;;) {
    const std::size_t nul = buffer_.find('\0');
    if (nul != std::string::npos) {
      const std::string text = buffer_.substr(0, nul);
      buffer_.erase(0, nul + 1);
      return json::parse(text, nullptr, false);
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
    if (left.count() <= 0) return std::nullopt;
    pollfd p{fromBrowser_, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(left.count())) != 1) return std::nullopt;
    char chunk[65536];
    const ssize_t n = ::read(fromBrowser_, chunk, sizeof chunk);
    if (n <= 0) return std::nullopt;
    buffer_.append(chunk, static_cast<std::size_t>(n));
  }
}

json HeadlessBrowser::evaluate(const std::string& expression) {
  const auto result =
      call("Runtime.evaluate",
           {{"expression", expression}, {"returnByValue", true}, {"awaitPromise", true}});
  if (!result || result->contains("exceptionDetails")) return nullptr;
  return (*result)["result"].value("value", json(nullptr));
}

bool HeadlessBrowser::waitUntil(const std::string& expression, std::chrono::milliseconds timeout) {
  const auto end = Clock::now() + timeout;
  do {
    if (evaluate(expression) == true) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  } while (Clock::now() < end);
  return false;
}

bool HeadlessBrowser::navigate(const std::string& url) {
  loaded_ = false;
  const auto started = call("Page.navigate", {{"url", url}});
  if (!started || started->contains("errorText")) return false;
  const auto end = Clock::now() + std::chrono::seconds(20);
  while (!loaded_ && Clock::now() < end) {
    auto event = receive(std::chrono::milliseconds(200));
    if (event && event->value("method", "") == "Page.loadEventFired") loaded_ = true;
  }
  return loaded_;
}

std::string HeadlessBrowser::screenshot(bool fullPage) {
  const auto shot =
      call("Page.captureScreenshot", {{"format", "png"}, {"captureBeyondViewport", fullPage}});
  return shot ? decodeBase64((*shot)["data"]) : std::string();
}

std::string decodeBase64(const std::string& text) {
  auto value = [](char c) -> int {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
  };
  std::string out;
  unsigned bits = 0;
  int count = 0;
  for (char c : text) {
    const int v = value(c);
    if (v < 0) continue;  // padding and line breaks
    bits = (bits << 6) | static_cast<unsigned>(v);
    count += 6;
    if (count >= 8) {
      count -= 8;
      out.push_back(static_cast<char>((bits >> count) & 0xFF));
    }
  }
  return out;
}

}  // namespace tern::testing
