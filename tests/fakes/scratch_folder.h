// A fresh, empty folder for one test, named after the process and the running test and
// removed with everything in it when the test ends.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>

namespace tern::testing {

class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& prefix) {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    // A parameterised test's name holds a '/'.
    std::string name = test ? test->name() : "none";
    std::replace(name.begin(), name.end(), '/', '_');
    path_ = std::filesystem::temp_directory_path() /
            (prefix + "_" + std::to_string(::getpid()) + "_" + name);
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    // A test may have taken the write permission away.
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  operator const std::filesystem::path&() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
  std::string string() const { return path_.string(); }
  const char* c_str() const { return path_.c_str(); }
  // The folder with a trailing '/', as the program's folder texts are.
  std::string slash() const { return path_.string() + "/"; }

 private:
  std::filesystem::path path_;
};

}  // namespace tern::testing
