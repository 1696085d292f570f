#include "update/firmware_check.h"

#include <gtest/gtest.h>

#include <fstream>

#include "fakes/scratch_folder.h"
#include "link/protocol.h"
#include "sim/sim_test_support.h"
#include "update/test_images.h"

namespace tern::testing {
namespace {

TEST(FirmwareCheck, VersionRule) {
  const std::optional<std::string> offered = "1.2.4";
  EXPECT_FALSE(UpdateWanted(std::string("1.2.4"), offered, false));
  EXPECT_TRUE(UpdateWanted(std::string("1.2.3"), offered, false));
  EXPECT_TRUE(UpdateWanted(std::string("1.1.9"), offered, false));
  EXPECT_FALSE(UpdateWanted(std::string("1.10.0"), offered, false));  // 11000
  // The offered version is the manifest's, not a constant.
  EXPECT_TRUE(UpdateWanted(std::string("1.10.0"), std::string("1.10.1"), false));
  // Unreadable or unparsable: no offer unless forced; forced asks even without a receiver.
  EXPECT_FALSE(UpdateWanted(std::nullopt, offered, false));
  EXPECT_FALSE(UpdateWanted(std::string("Kein Empfänger"), offered, false));
  EXPECT_FALSE(UpdateWanted(std::string("1.2.3"), std::nullopt, false));
  EXPECT_TRUE(UpdateWanted(std::nullopt, offered, true));
  EXPECT_TRUE(UpdateWanted(std::string("1.2.4"), offered, true));
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

TEST(FirmwareManifest, TakesExactlyTheFourKeys) {
  const std::string boot(64, 'a'), fw(64, 'B');
  ManifestReading good = ParseFirmwareManifest(
      "# genuine\r\nunlock=0102030405fF\r\n\r\nversion=1.3.0\r\n"
      "firmware_sha256 = " +
      fw + "\r\nboot_sha256=" + boot);
  ASSERT_TRUE(good.manifest) << good.problem;
  EXPECT_EQ(good.manifest->version, "1.3.0");
  EXPECT_EQ(good.manifest->bootSha256, boot);
  EXPECT_EQ(good.manifest->firmwareSha256, std::string(64, 'b'));
  EXPECT_EQ(good.manifest->unlock, (protocol::UnlockSequence{1, 2, 3, 4, 5, 0xFF}));

  const std::string all = "version=1.2.4\nboot_sha256=" + boot + "\nfirmware_sha256=" + fw + "\n";
  const std::pair<std::string, std::string> broken[] = {
      {all, "der Eintrag \"unlock\" fehlt"},
      {all + "unlock=0102030405", "Zeile 4: \"unlock\" braucht 12 Hexziffern"},
      {all + "unlock=01020304050g", "Zeile 4: \"unlock\" braucht 12 Hexziffern"},
      {all + "unlock=010203040506\nversion=1.2.5", "Zeile 5: \"version\" steht doppelt"},
      {all + "unlock=010203040506\nsize=4316", "Zeile 5: unbekannter Schlüssel \"size\""},
      {all + "unlock 010203040506", "Zeile 4: kein Eintrag der Form key=value"},
      {"version=1.2\n", "Zeile 1: die Version ist nicht von der Form 1.2.4"},
      {"version=1.2.4\nboot_sha256=" + boot.substr(0, 40), "Zeile 2: \"boot_sha256\" braucht 64"},
      {"", "der Eintrag \"version\" fehlt"},
  };
  for (const auto& [text, problem] : broken) {
    ManifestReading r = ParseFirmwareManifest(text);
    EXPECT_FALSE(r.manifest) << text;
    EXPECT_NE(r.problem.find(problem), std::string::npos) << r.problem;
  }
}

class FirmwareFilesTest : public ::testing::Test {
 protected:
  std::string user() const { return (dir_ / "user").string() + "/"; }
  std::string program() const { return (dir_ / "program").string() + "/"; }
  FirmwareFiles load() const { return LoadFirmwareFiles({user(), program()}); }
  ScratchFolder dir_{"tern_firmware"};
};

TEST_F(FirmwareFilesTest, GenuineImagesAreOfferedWithTheManifestsVersionAndUnlockBytes) {
  installTestFirmware(dir_ / "program");
  FirmwareFiles files = load();
  ASSERT_EQ(files.state, FirmwareFiles::State::Installed) << files.problem;
  EXPECT_EQ(files.images->Version(), "1.2.4");
  EXPECT_EQ(files.images->Unlock(), sim::kTestUnlockSequence);
  EXPECT_EQ(OfferFor(files, std::string("1.2.3"), false).text, kUpdateQuestion);
  EXPECT_EQ(OfferFor(files, std::string("1.2.4"), false).kind, FirmwareOffer::Kind::None);

  // The user's own folder comes first, and its set is taken whole or not at all: a broken
  // set there is told, never passed over for the program folder's.
  installTestFirmware(dir_ / "user", "", -1);
  FirmwareFiles broken = load();
  EXPECT_EQ(broken.state, FirmwareFiles::State::Unusable);
  EXPECT_NE(broken.problem.find("\"" + user() + "firmware/TERN_FW.INF\" fehlt"), std::string::npos)
      << broken.problem;
  installTestFirmware(dir_ / "user");
  EXPECT_EQ(load().state, FirmwareFiles::State::Installed);
}

TEST_F(FirmwareFilesTest, AnythingButTheImagesTheManifestNamesIsRefusedNamingTheFile) {
  const std::string manifest = testManifest();
  std::string otherDigest = manifest;
  otherDigest.replace(otherDigest.find("boot_sha256=") + 12, 4, "0000");
  struct Case {
    const char* what;
    std::string manifest;
    long flipAt;
    std::string_view file;  // named in the message
    std::string problem;    // part of the message
  };
  const Case cases[] = {
      {"flipped boot loader byte", manifest, 100, kBootLoaderFile,
       "ist nicht die, deren Prüfsumme"},
      {"flipped firmware byte", manifest, 4316 + 59391, kFirmwareFile,
       "ist nicht die, deren Prüfsumme"},
      {"other digests", otherDigest, -1, kBootLoaderFile, "ist nicht die, deren Prüfsumme"},
      {"truncated manifest", manifest.substr(0, manifest.find("firmware_sha256") + 30), -1,
       kManifestFile, "ist fehlerhaft (Zeile 4: \"firmware_sha256\" braucht 64 Hexziffern)"},
      {"missing manifest", "", -1, kManifestFile, "fehlt. Das Update wird nicht durchgeführt."},
  };
  for (const Case& c : cases) {
    std::filesystem::remove_all(dir_ / "program");
    installTestFirmware(dir_ / "program", c.manifest, c.flipAt);
    FirmwareFiles files = load();
    EXPECT_EQ(files.state, FirmwareFiles::State::Unusable) << c.what;
    EXPECT_FALSE(files.images) << c.what;
    EXPECT_NE(files.problem.find("\"" + program() + std::string(c.file) + "\""), std::string::npos)
        << c.what << ": " << files.problem;
    EXPECT_NE(files.problem.find(c.problem), std::string::npos) << c.what << ": " << files.problem;
    // Told at start-up too, for a receiver it might update; and always when asked for.
    EXPECT_EQ(OfferFor(files, std::string("1.2.3"), false).kind, FirmwareOffer::Kind::Refuse);
    EXPECT_EQ(OfferFor(files, std::nullopt, true).text, files.problem);
  }
  // Without a readable manifest the files might be newer than any receiver: told. A
  // readable one that offers nothing newer keeps quiet at start-up.
  EXPECT_EQ(OfferFor(load(), std::string("1.2.4"), false).kind, FirmwareOffer::Kind::Refuse);
  std::filesystem::remove_all(dir_ / "program");
  installTestFirmware(dir_ / "program", manifest, 0);
  EXPECT_EQ(OfferFor(load(), std::string("1.2.4"), false).kind, FirmwareOffer::Kind::None);

  // A file of the wrong size.
  installTestFirmware(dir_ / "program");
  std::ofstream(dir_ / "program" / std::string(kFirmwareFile), std::ios::binary) << "x";
  EXPECT_NE(load().problem.find("nicht die erwartete Größe von 59392 Bytes"), std::string::npos);
}

TEST_F(FirmwareFilesTest, WithoutFilesOnlyAnUpdateAskedForIsAnsweredNamingBothFolders) {
  FirmwareFiles files = load();
  EXPECT_EQ(files.state, FirmwareFiles::State::Missing);
  EXPECT_EQ(OfferFor(files, std::string("1.0.0"), false).kind, FirmwareOffer::Kind::None);
  FirmwareOffer forced = OfferFor(files, std::nullopt, true);
  EXPECT_EQ(forced.kind, FirmwareOffer::Kind::Refuse);
  EXPECT_NE(forced.text.find("Es sind keine Firmware-Dateien installiert."), std::string::npos);
  EXPECT_NE(forced.text.find("\n" + user() + "firmware/\n" + program() + "firmware/"),
            std::string::npos)
      << forced.text;
}

class CheckFirmwareTest : public SimFixture {};

TEST_F(CheckFirmwareTest, ReadsTheReceiversVersionOverItsOwnLink) {
  FirmwareFiles installed;
  installed.state = FirmwareFiles::State::Installed;
  installed.images = testImages();
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
