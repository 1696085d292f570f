#include "common/folder_lock.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "fakes/scratch_folder.h"

namespace tern::testing {
namespace {

TEST(FolderLock, OneWriterAtATimeAndFreeAgainWhenReleased) {
  ScratchFolder dir("tern_lock");
  {
    FolderLock first(dir.string());
    ASSERT_EQ(first.state(), FolderLock::State::Held);
    // A second writer, even in the same process, is refused without waiting.
    FolderLock second(dir.slash());
    EXPECT_EQ(second.state(), FolderLock::State::InUse);
  }
  FolderLock again(dir.string());
  EXPECT_EQ(again.state(), FolderLock::State::Held);
  EXPECT_TRUE(std::filesystem::exists(dir / FolderLock::kFileName));

  FolderLock nowhere((dir / "missing").string());
  EXPECT_EQ(nowhere.state(), FolderLock::State::Unavailable);
  EXPECT_FALSE(nowhere.reason().empty());
  EXPECT_EQ(folderInUseMessage("/d/"),
            "Der Datenordner /d/ wird bereits von einem anderen TERN-Programm benutzt.");
}

}  // namespace
}  // namespace tern::testing
