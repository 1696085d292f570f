#include "update/firmware_check.h"

#include <gtest/gtest.h>

#include <fstream>

#include "fakes/scratch_folder.h"
#include "link/protocol.h"
#include "sim/sim_test_support.h"

namespace tern::testing {
namespace {

TEST(FirmwareCheck, VersionRule) {
  EXPECT_FALSE(UpdateWanted(std::string("1.2.4"), false));
  EXPECT_TRUE(UpdateWanted(std::string("1.2.3"), false));
  EXPECT_TRUE(UpdateWanted(std::string("1.1.9"), false));
  EXPECT_FALSE(UpdateWanted(std::string("1.10.0"), false));  // 11000
  // Unreadable or unparsable: no offer unless forced; forced asks even without a receiver.
  EXPECT_FALSE(UpdateWanted(std::nullopt, false));
  EXPECT_FALSE(UpdateWanted(std::string("Kein Empfänger"), false));
  EXPECT_TRUE(UpdateWanted(std::nullopt, true));
  EXPECT_TRUE(UpdateWanted(std::string("1.2.4"), true));
}

TEST(FirmwareCheck, ForcedByExactlyTheTwoWordsInAnyCase) {
  EXPECT_TRUE(IsUpdateForced({"FORCE", "UPDATE"}));
  EXPECT_TRUE(IsUpdateForced({"force", "update"}));
  EXPECT_TRUE(IsUpdateForced({"Force", "uPdAtE"}));
  EXPECT_FALSE(IsUpdateForced({"FORCE", "UPDATE", "NOW"}));
  EXPECT_FALSE(IsUpdateForced({"FORCE"}));
  EXPECT_FALSE(IsUpdateForced({"UPDATE", "FORCE"}));
  EXPECT_FALSE(IsUpdateForced({"FORCE", "UPDATES"}));
}

class FirmwareFilesTest : public ::testing::Test {
 protected:
  std::string folder() const { return dir_.string() + "/"; }
  void write(std::string_view name, std::size_t size) {
    std::filesystem::create_directories(dir_.path() / "firmware");
    std::ofstream(folder() + std::string(name), std::ios::binary) << std::string(size, 'x');
  }
  ScratchFolder dir_{"tern_firmware"};
};

TEST_F(FirmwareFilesTest, WithoutFilesOnlyAForcedUpdateIsAnsweredWithTheGermanText) {
  FirmwareFiles files = LoadFirmwareFiles(folder());
  EXPECT_EQ(files.state, FirmwareFiles::State::Missing);
  EXPECT_EQ(OfferFor(files, false).kind, FirmwareOffer::Kind::None);
  FirmwareOffer forced = OfferFor(files, true);
  EXPECT_EQ(forced.kind, FirmwareOffer::Kind::Refuse);
  EXPECT_EQ(forced.text, kNoFirmwareFilesText);
}

TEST_F(FirmwareFilesTest, FilesOfAnotherSizeOrAMissingHalfAreRefused) {
  write(kBootLoaderFile, protocol::kBootLoaderImageSize);
  FirmwareFiles half = LoadFirmwareFiles(folder());
  EXPECT_EQ(half.state, FirmwareFiles::State::Unusable);
  EXPECT_NE(half.problem.find("\"firmware/TERN_FW.BIN\" fehlt"), std::string::npos);
  // Unusable files are told even when the update was not forced.
  EXPECT_EQ(OfferFor(half, false).kind, FirmwareOffer::Kind::Refuse);

  write(kFirmwareFile, protocol::kFirmwareImageSize + 1);
  FirmwareFiles large = LoadFirmwareFiles(folder());
  EXPECT_EQ(large.state, FirmwareFiles::State::Unusable);
  EXPECT_NE(large.problem.find("nicht die erwartete Größe von 59392 Bytes"), std::string::npos);

  write(kFirmwareFile, 100);
  EXPECT_EQ(LoadFirmwareFiles(folder()).state, FirmwareFiles::State::Unusable);

  write(kFirmwareFile, protocol::kFirmwareImageSize);
  FirmwareFiles good = LoadFirmwareFiles(folder());
  ASSERT_EQ(good.state, FirmwareFiles::State::Installed);
  EXPECT_EQ(good.images->Firmware().size(), protocol::kFirmwareImageSize);
  FirmwareOffer ask = OfferFor(good, false);
  EXPECT_EQ(ask.kind, FirmwareOffer::Kind::Ask);
  EXPECT_EQ(ask.text, kUpdateQuestion);
}

class CheckFirmwareTest : public SimFixture {};

TEST_F(CheckFirmwareTest, ReadsTheReceiversVersionOverItsOwnLink) {
  FirmwareFiles installed;
  installed.state = FirmwareFiles::State::Installed;
  sim::Scenario old;
  old.firmwareVersion = "1.2.3";
  start(old);
  EXPECT_EQ(CheckFirmware(*link, installed, false).kind, FirmwareOffer::Kind::Ask);
  EXPECT_EQ(link->Handle(), 0u);  // opened and closed by the command itself
  start();                        // 1.2.4
  EXPECT_EQ(CheckFirmware(*link, installed, false).kind, FirmwareOffer::Kind::None);
  EXPECT_EQ(CheckFirmware(*link, installed, true).kind, FirmwareOffer::Kind::Ask);

  sim::Scenario silent;
  silent.firmwareVersion = "1.0.0";
  silent.faults.silent = true;
  start(silent);
  EXPECT_EQ(CheckFirmware(*link, installed, false).kind, FirmwareOffer::Kind::None);
}

}  // namespace
}  // namespace tern::testing
