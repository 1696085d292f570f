// A message sink that records every text shown or asked and answers questions with a preset
// answer, for the tests of anything that talks to the user.
#pragma once

#include <string>
#include <vector>

#include "common/message_sink.h"

namespace tern::testing {

class RecordingSink final : public MessageSink {
 public:
  void showMessage(MessageKind kind, const std::string& text) override {
    kinds.push_back(kind);
    texts.push_back(text);
    said.push_back(text);
  }
  bool askYesNo(const std::string& text, bool) override {
    questions.push_back(text);
    said.push_back(text);
    return answer;
  }
  std::string last() const { return texts.empty() ? std::string() : texts.back(); }

  bool answer = false;
  std::vector<MessageKind> kinds;
  std::vector<std::string> texts;      // the messages shown
  std::vector<std::string> questions;  // the questions asked
  std::vector<std::string> said;       // both, in the order they came
};

}  // namespace tern::testing
