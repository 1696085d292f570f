#include "update/firmware_transfer.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "link/protocol.h"
#include "sim/sim_test_support.h"
#include "update/test_images.h"

namespace tern::testing {
namespace {

namespace p = protocol;

class TransferTest : public SimFixture {
 protected:
  // The 512 bytes of an image page as the receiver holds them.
  Bytes imagePage(std::uint32_t page) {
    Bytes all = receiver->page(page);
    return Bytes(all.begin(), all.begin() + p::kImagePageLength);
  }
  int pageCommands(std::uint8_t code, std::uint32_t first, std::uint32_t last) {
    int n = 0;
    for (const Bytes& r : receiver->requests()) {
      if (r.at(0) != code) continue;
      std::uint32_t page = getU16(r, 2);
      n += page >= first && page <= last && getU16(r, 4) == p::kImagePageLength;
    }
    return n;
  }
  FirmwareImages images = testImages();
};

TEST_F(TransferTest, WritesBothAreasPageByPageWithTheFillAndVerifies) {
  start();
  std::vector<std::tuple<UpdatePhase, int, int>> progress;
  TransferResult result = TransferFirmware(*link, images, [&](UpdatePhase ph, int pos, int max) {
    progress.emplace_back(ph, pos, max);
  });
  ASSERT_EQ(result, TransferResult::Verified);
  EXPECT_TRUE(link->StartProgramming(images.Unlock(), false));
  EXPECT_EQ(receiver->programmingStarts(), 1);

  EXPECT_EQ(pageCommands(p::kWritePage, 512, 527), 16);
  EXPECT_EQ(pageCommands(p::kWritePage, 528, 654), 127);
  EXPECT_EQ(pageCommands(p::kReadPage, 512, 654), 143);
  EXPECT_EQ(pageCommands(p::kWritePage, 655, 8191) + pageCommands(p::kWritePage, 0, 511), 0);

  // Boot loader: 8 full pages, 220 bytes of the ninth, then 0xFF to the end of page 527.
  ByteView boot = images.BootLoader();
  for (std::uint32_t i = 0; i < 8; ++i)
    EXPECT_EQ(imagePage(512 + i), Bytes(boot.begin() + i * 512, boot.begin() + (i + 1) * 512));
  Bytes ninth = imagePage(520);
  EXPECT_TRUE(std::equal(ninth.begin(), ninth.begin() + 220, boot.begin() + 8 * 512));
  EXPECT_EQ(Bytes(ninth.begin() + 220, ninth.end()), Bytes(292, 0xFF));
  for (std::uint32_t page = 521; page <= 527; ++page) EXPECT_EQ(imagePage(page), Bytes(512, 0xFF));

  // Firmware: exactly 116 full pages, then 11 pages of 0xFF.
  ByteView fw = images.Firmware();
  for (std::uint32_t i = 0; i < 116; ++i)
    ASSERT_EQ(imagePage(528 + i), Bytes(fw.begin() + i * 512, fw.begin() + (i + 1) * 512)) << i;
  for (std::uint32_t page = 644; page <= 654; ++page) EXPECT_EQ(imagePage(page), Bytes(512, 0xFF));

  // Each phase starts at 0 and ends at its last page.
  ASSERT_FALSE(progress.empty());
  EXPECT_EQ(progress.front(), std::make_tuple(UpdatePhase::WritingBootLoader, 0, 15));
  EXPECT_EQ(progress.back(), std::make_tuple(UpdatePhase::VerifyingFirmware, 126, 126));
  EXPECT_EQ(progress.size(), 2u * (16 + 1) + 2u * (127 + 1));
}

TEST_F(TransferTest, ReceiverUnpluggedDuringTheBootLoaderGivesTheBootLoaderError) {
  sim::Scenario s;
  s.faults.pullCableAfter = 2 * 5;  // after five page acknowledgements
  start(std::move(s));
  EXPECT_EQ(TransferFirmware(*link, images, {}), TransferResult::BootLoaderDiffers);
  EXPECT_EQ(link->Handle(), 0u);  // closed
  EXPECT_EQ(TransferFailure(TransferResult::BootLoaderDiffers).message,
            "Fehler beim Schreiben des Bootloader!");
  EXPECT_EQ(TransferFailure(TransferResult::BootLoaderDiffers).status,
            "Fehler beim schreiben des Bootloader!");
}

TEST_F(TransferTest, ReceiverUnpluggedDuringTheFirmwareGivesTheFirmwareError) {
  sim::Scenario s;
  // Past all writes (143 acks) and the boot loader read-back (16 x 514 bytes).
  s.faults.pullCableAfter = 143 * 2 + 16 * 514 + 20 * 514;
  start(std::move(s));
  EXPECT_EQ(TransferFirmware(*link, images, {}), TransferResult::FirmwareDiffers);
  EXPECT_EQ(link->Handle(), 0u);
}

TEST_F(TransferTest, AVerifyErrorOnOnePageIsFoundByTheComparisonOnly) {
  sim::Scenario s;
  s.faults.corruptPage = 600;
  start(std::move(s));
  EXPECT_EQ(TransferFirmware(*link, images, {}), TransferResult::FirmwareDiffers);
  EXPECT_EQ(receiver->programmingStarts(), 0);

  // A corrupted page beyond the image's end holds only fill bytes, which are not compared.
  sim::Scenario beyond;
  beyond.faults.corruptPage = 654;
  start(std::move(beyond));
  EXPECT_EQ(TransferFirmware(*link, images, {}), TransferResult::Verified);
}

TEST(TestFirmware, ImagesAreMarkedAndOfTheReceiversSizes) {
  std::string head(sim::kTestFirmwareImage.begin(),
                   sim::kTestFirmwareImage.begin() + sim::kTestImageMarker.size());
  EXPECT_EQ(head, sim::kTestImageMarker);
  EXPECT_TRUE(testImages().BootLoader().size() == 4316 && testImages().Firmware().size() == 59392);
  EXPECT_FALSE(FirmwareImages::Make(Bytes(4316), Bytes(59391), "1.2.4", {}));
  EXPECT_FALSE(FirmwareImages::Make(Bytes(4317), Bytes(59392), "1.2.4", {}));
  EXPECT_FALSE(FirmwareImages::Make(Bytes(4316), Bytes(59392), "1.2", {}));
}

}  // namespace
}  // namespace tern::testing
