#include "app/instance_guard.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

namespace tern {
namespace {

TEST(InstanceGuard, SecondGuardIsRefusedUntilTheFirstEnds) {
  auto folder =
      std::filesystem::temp_directory_path() / ("tern_guard_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  {
    InstanceGuard first(folder.string());
    EXPECT_EQ(first.state(), InstanceGuard::State::Acquired);
    InstanceGuard second(folder.string());
    EXPECT_EQ(second.state(), InstanceGuard::State::AlreadyRunning);
  }
  // The lock file stays behind, as after a crash; it must not block the next start.
  EXPECT_TRUE(std::filesystem::exists(folder / "TERN.lock"));
  InstanceGuard again(folder.string());
  EXPECT_EQ(again.state(), InstanceGuard::State::Acquired);
  std::filesystem::remove_all(folder);
}

TEST(InstanceGuard, MissingRuntimeFolderDoesNotStopTheProgram) {
  InstanceGuard guard("/nonexistent/tern/runtime");
  EXPECT_EQ(guard.state(), InstanceGuard::State::Unavailable);
}

}  // namespace
}  // namespace tern
