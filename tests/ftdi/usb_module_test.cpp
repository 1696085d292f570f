// The USB module: a clear refusal where it is missing or is not one, and loaded only when an
// attached receiver is opened, never for the presence scan.
#include "link/usb_module.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "common/program_module.h"
#include "fakes/scratch_folder.h"
#include "fakes/starts_itself.h"
#include "ftdi/ftdi_fixture.h"

namespace tern::testing {
namespace {

TEST(UsbModuleTest, LoadsTheModuleOrSaysWhyNot) {
  ScratchFolder folder("tern_usb_module");
  std::ofstream(folder / "not-a-module.so") << "text, not a shared object";
  const std::string real = ModuleBesideExecutable(kUsbModuleName);
  struct Case {
    std::string path;
    const char* error;  // part of the message; nullptr: loads
  } cases[] = {
      {folder.slash() + "tern-usb.so", "Die USB-Anbindung ist nicht installiert: "},
      {"", "ist nicht installiert: tern-usb.so fehlt."},
      {folder.slash() + "not-a-module.so", "Die USB-Anbindung lässt sich nicht laden ("},
      {real, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const UsbModuleLoad load = LoadUsbModule(c.path);
    if (c.error == nullptr) {
      ASSERT_NE(load.library, nullptr) << load.error;
      EXPECT_NE(load.library->newFtdi(), nullptr) << "libftdi sets up on the stand-in";
    } else {
      EXPECT_EQ(load.library, nullptr);
      EXPECT_NE(load.error.find(c.error), std::string::npos) << load.error;
      EXPECT_NE(load.error.find(c.path), std::string::npos) << load.error;
    }
  }
  // A module of another build: its entry does not know this version, or it has none.
  for (const auto& [entry, version] :
       {std::pair{kUsbLibraryEntry, kUsbLibraryVersion + 1}, {"tern_no_such_entry", 1}}) {
    const OpenedModule other = OpenProgramModule(real, entry, version);
    EXPECT_EQ(other.object, nullptr);
    EXPECT_EQ(other.problem, ModuleProblem::OtherBuild) << entry;
  }
}

bool mapped(const std::string& name) {
  std::ifstream maps("/proc/self/maps");
  std::stringstream text;
  text << maps.rdbuf();
  return text.str().find(name) != std::string::npos;
}

// In a process of its own (the other tests open the module): looking for the receiver, and
// opening when none is attached, do not load it; the first open of an attached one does.
TEST_F(FtdiDouble, UsbModuleOpenedByTheFirstOpenOfAnAttachedReceiver) {
  if (!tern::testing::programStartsItself())
    GTEST_SKIP() << "this program cannot start itself again here (an emulator without "
                    "binfmt_misc), and the check needs a fresh process";
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        FakeUsbTree empty("tern_usb_lazy");
        TTERN nothing(std::make_unique<FtdiPort>(UsbRoots{empty.sysfs(), empty.dev()}), clock);
        const bool openedNothing = nothing.OpenLink();
        plug(fastLine());
        auto l = link();
        const bool present = l->IsReceiverPresent();
        const bool before = mapped(kUsbModuleName) || mapped("libftdi1");
        const bool pinged = l->Ping(true);
        const bool after = mapped(kUsbModuleName) && mapped("libftdi1");
        std::exit(!openedNothing && present && !before && pinged && after ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace tern::testing
