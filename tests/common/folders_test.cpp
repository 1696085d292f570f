#include "common/folders.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "common/file_io.h"

namespace tern {
namespace {

TEST(Folders, DataFolderFollowsTheUsersDataFolder) {
  EXPECT_EQ(userDataFolder("/x/data", "/home/u"), "/x/data/");
  EXPECT_EQ(userDataFolder(nullptr, "/home/u"), "/home/u/.local/share/");
  // A relative XDG_DATA_HOME is invalid and ignored.
  EXPECT_EQ(userDataFolder("rel", "/home/u"), "/home/u/.local/share/");
  EXPECT_EQ(userDataFolder(nullptr, nullptr), std::nullopt);
  EXPECT_EQ(userDataFolder("", ""), std::nullopt);

  EXPECT_EQ(dataFolderFor(std::string("/home/u/.local/share/"), "/opt/tern/"),
            "/home/u/.local/share/TERN/");
  EXPECT_EQ(dataFolderFor(std::nullopt, "/opt/tern"), "/opt/tern/");
}

TEST(Folders, MakeFoldersCreatesMissingParents) {
  auto root =
      std::filesystem::temp_directory_path() / ("tern_folders_" + std::to_string(::getpid()));
  std::filesystem::remove_all(root);
  std::string deep = (root / "a/b/TERN/").string();
  EXPECT_TRUE(makeFolders(deep));
  EXPECT_TRUE(isDirectory(deep));
  EXPECT_TRUE(makeFolders(deep));  // again: already there
  std::filesystem::remove_all(root);
}

TEST(Folders, ExecutableFolderEndsWithSlash) {
  std::string folder = executableFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '/');
  EXPECT_TRUE(isDirectory(folder));
}

}  // namespace
}  // namespace tern
