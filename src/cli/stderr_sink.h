// The message seam for tern-cli: every message the core would show goes to stderr.
#pragma once

#include <iostream>

#include "common/message_sink.h"

namespace tern::cli {

class StderrSink final : public MessageSink {
 public:
  void showMessage(MessageKind, const std::string& text) override {
    std::cerr << "tern-cli: " << text << '\n';
  }
  bool askYesNo(const std::string&, bool) override { return false; }
};

}  // namespace tern::cli
