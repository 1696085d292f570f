// tern-cli watch on the simulated receiver, serving the web page on a free loopback port from a
// scratch folder, for the web benchmarks. The folder goes when the service has ended.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <iostream>
#include <regex>
#include <string>

#include "cli/child_process.h"

namespace tern::bench {

class ServedPage {
 public:
  // `name` names the scratch folder; waits up to a minute for the service to log `ready`.
  ServedPage(const std::string& name, const std::string& ready)
      : folder_(name),
        watch_({std::string(TERN_BIN_DIR) + "/tern-cli", "watch", "--simulate", "--data-folder",
                (folder_.path / "data").string(), "--http", "127.0.0.1:0"},
               {"XDG_RUNTIME_DIR=" + folder_.path.string()}) {
    std::smatch found;
    if (watch_.waitFor(ready, 60) &&
        std::regex_search(watch_.output, found, std::regex(R"(http://127\.0\.0\.1:([0-9]+)/)"))) {
      url_ = found[0];
      port_ = std::stoi(found[1]);
    } else {
      std::cerr << "tern-cli watch did not serve the page:\n" << watch_.output;
    }
  }

  bool ok() const { return port_ != 0; }
  const std::string& url() const { return url_; }  // "http://127.0.0.1:PORT/"
  int port() const { return port_; }
  // A folder of the service's scratch folder, for what the benchmark keeps beside it.
  std::filesystem::path folder(const std::string& name) const { return folder_.path / name; }

 private:
  struct Scratch {
    explicit Scratch(const std::string& name) {
      std::string pattern = "/tmp/" + name + "_XXXXXX";
      path = ::mkdtemp(pattern.data());
    }
    ~Scratch() { std::filesystem::remove_all(path); }
    std::filesystem::path path;
  };
  Scratch folder_;  // first made, last gone: after the service ended
  testing::Child watch_;
  std::string url_;
  int port_ = 0;
};

}  // namespace tern::bench
