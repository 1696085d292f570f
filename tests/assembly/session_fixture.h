// A session's options on a scratch folder with the simulated receiver and a fake clock, for
// the tests of the session and of what it owns.
#pragma once

#include <gtest/gtest.h>

#include "assembly/application_session.h"
#include "fakes/fake_clock.h"
#include "fakes/recording_sink.h"
#include "fakes/scratch_folder.h"

namespace tern::testing {

class SessionTest : public ::testing::Test {
 protected:
  SessionTest() {
    options.userDataFolder = dir_.string();
    options.programFolder = std::string(TERN_ASSETS_DIR);
    options.simulate = true;
  }

  ScratchFolder dir_{"tern_session"};
  FakeClock clock{{2026, 12, 8, 18, 5, 9, 0}, 60};
  SessionOptions options;
  RecordingSink sink;
};

}  // namespace tern::testing
