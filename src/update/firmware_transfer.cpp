#include "update/firmware_transfer.h"

#include <algorithm>
#include <vector>

#include "link/protocol.h"

namespace tern {

namespace p = protocol;

namespace {

constexpr std::size_t kWorkBufferSize = 65536;

constexpr std::string_view kPhaseTexts[] = {
    "Bootloader wird übertragen ...",
    "Firmware wird übertragen ...",
    "Bootloader wird verifiziert ...",
    "Firmware wird verifiziert ...",
    "Empfänger nicht trennen! Warte auf seine Antwort ...",
};

struct Area {
  std::uint32_t firstPage;
  std::uint32_t pages;
};
constexpr Area kBootLoaderArea{p::kBootLoaderFirstPage, p::kBootLoaderPages};
constexpr Area kFirmwareArea{p::kFirmwareFirstPage, p::kFirmwarePages};
static_assert(p::kFirmwarePages * p::kImagePageLength <= kWorkBufferSize);

// The work buffer, all 0xFF, with `image` at its start.
void fill(std::vector<std::uint8_t>& buffer, ByteView image) {
  std::fill(buffer.begin(), buffer.end(), std::uint8_t{0xFF});
  std::copy(image.begin(), image.end(), buffer.begin());
}

void writeArea(TTERN& link, const Area& area, ByteView image, UpdatePhase phase,
               std::vector<std::uint8_t>& buffer, const UpdateProgress& progress) {
  const int maximum = static_cast<int>(area.pages) - 1;
  if (progress) progress(phase, 0, maximum);
  fill(buffer, image);
  for (std::uint32_t i = 0; i < area.pages; ++i) {
    link.WritePage(area.firstPage + i,
                   ByteView(buffer).subspan(i * p::kImagePageLength, p::kImagePageLength), false);
    if (progress) progress(phase, static_cast<int>(i), maximum);
  }
}

bool verifyArea(TTERN& link, const Area& area, ByteView image, UpdatePhase phase,
                std::vector<std::uint8_t>& buffer, const UpdateProgress& progress) {
  const int maximum = static_cast<int>(area.pages) - 1;
  if (progress) progress(phase, 0, maximum);
  std::fill(buffer.begin(), buffer.end(), std::uint8_t{0xFF});
  for (std::uint32_t i = 0; i < area.pages; ++i) {
    link.ReadPage(area.firstPage + i,
                  std::span(buffer).subspan(i * p::kImagePageLength, p::kImagePageLength), false);
    if (progress) progress(phase, static_cast<int>(i), maximum);
  }
  return std::equal(image.begin(), image.end(), buffer.begin());
}

}  // namespace

std::string_view UpdatePhaseText(UpdatePhase phase) {
  return kPhaseTexts[static_cast<std::size_t>(phase)];
}

TransferFailureTexts TransferFailure(TransferResult result) {
  if (result == TransferResult::BootLoaderDiffers)
    return {"Fehler beim Schreiben des Bootloader!", "Fehler beim schreiben des Bootloader!"};
  if (result == TransferResult::FirmwareDiffers)
    return {"Fehler beim Schreiben der Firmware!", "Fehler beim Schreiben der Firmware!"};
  return {};
}

TransferResult TransferFirmware(TTERN& link, const FirmwareImages& images,
                                const UpdateProgress& progress) {
  // A missing receiver is not judged here: it shows up as a difference in the read-back.
  link.CloseLink();
  link.OpenLink();
  std::vector<std::uint8_t> buffer(kWorkBufferSize);
  writeArea(link, kBootLoaderArea, images.BootLoader(), UpdatePhase::WritingBootLoader, buffer,
            progress);
  writeArea(link, kFirmwareArea, images.Firmware(), UpdatePhase::WritingFirmware, buffer, progress);
  if (!verifyArea(link, kBootLoaderArea, images.BootLoader(), UpdatePhase::VerifyingBootLoader,
                  buffer, progress)) {
    link.CloseLink();
    return TransferResult::BootLoaderDiffers;
  }
  if (!verifyArea(link, kFirmwareArea, images.Firmware(), UpdatePhase::VerifyingFirmware, buffer,
                  progress)) {
    link.CloseLink();
    return TransferResult::FirmwareDiffers;
  }
  return TransferResult::Verified;
}

}  // namespace tern
