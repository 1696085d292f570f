// The web module: a clear refusal where it is missing or is not one, and the page served
// through it once it loads.
#include "web/web_module.h"

#include <gtest/gtest.h>

#include <fstream>

#include "common/program_module.h"
#include "fakes/scratch_folder.h"

namespace tern::testing {
namespace {

TEST(WebModuleTest, LoadsTheModuleOrSaysWhyNot) {
  ScratchFolder folder("tern_web_module");
  std::ofstream(folder / "not-a-module.so") << "text, not a shared object";
  const std::string real = ModuleBesideExecutable(kWebModuleName);
  struct Case {
    std::string path;
    const char* error;  // part of the message; nullptr: loads
  } cases[] = {
      {folder.slash() + "tern-web.so", "ist nicht installiert"},
      {"", "ist nicht installiert: tern-web.so fehlt."},
      {folder.slash() + "not-a-module.so", "lässt sich nicht laden"},
      {real, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const WebModuleLoad load = LoadWebModule(c.path);
    if (c.error == nullptr) {
      EXPECT_NE(load.factory, nullptr) << load.error;
    } else {
      EXPECT_EQ(load.factory, nullptr);
      EXPECT_NE(load.error.find(c.error), std::string::npos) << load.error;
      EXPECT_NE(load.error.find(c.path), std::string::npos) << load.error;
    }
  }
  // A module of another build: its entry does not know this version, or it has none.
  for (const auto& [entry, version] :
       {std::pair{kHttpHostEntry, kHttpHostVersion + 1}, {"tern_no_such_entry", 1}}) {
    const OpenedModule other = OpenProgramModule(real, entry, version);
    EXPECT_EQ(other.object, nullptr);
    EXPECT_EQ(other.problem, ModuleProblem::OtherBuild) << entry;
  }
}

}  // namespace
}  // namespace tern::testing
