// A main window on a private data folder and a fake clock, with the real assets as its
// program folder.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/message_sink.h"
#include "fakes/fake_clock.h"
#include "fakes/scratch_folder.h"
#include "ui/main_form.h"

namespace tern::testing {

// Records every message and question; answers each question with `answer`.
class AnsweringSink final : public MessageSink {
 public:
  void showMessage(MessageKind, const std::string& text) override { texts.push_back(text); }
  bool askYesNo(const std::string& text, bool) override {
    texts.push_back(text);
    return answer;
  }
  bool answer = false;
  std::vector<std::string> texts;
};

class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    context_.userDataFolder = (root_ / "share").string() + "/";
    context_.programFolder = std::string(TERN_BIN_DIR) + "/";
    context_.clock = &clock_;
    context_.simulate = true;
    context_.startPolling = false;  // tests drive the polling passes themselves
  }
  void TearDown() override { form_.reset(); }
  TMainForm& form() {
    if (!form_) form_ = std::make_unique<TMainForm>(context_);
    return *form_;
  }

  ScratchFolder root_{"tern_ui"};
  FakeClock clock_{{2026, 12, 8, 18, 5, 9, 0}, 60};
  AppContext context_;
  std::unique_ptr<TMainForm> form_;
};

}  // namespace tern::testing
