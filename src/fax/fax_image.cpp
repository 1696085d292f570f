#include "fax/fax_image.h"

#include <algorithm>
#include <utility>

#include "fax/fax_turn.h"

namespace tern {

FaxImage::FaxImage() : bits_(kFaxBitBufferSize), image_(kFaxImageBytes), work_(kFaxImageBytes) {}

void FaxImage::Unpack(ByteView data) {
  // A pending layout would read bits that are about to change.
  if (pending_) pending_ = PendingLayout{};
  unpacked_ = UnpackBits(data, bits_);
}

void FaxImage::layOut() const {
  const PendingLayout layout = *pending_;
  pending_.reset();
  ExpandLines(bits_.data() + phasing_, image_.data(), layout.lines, layout.faxTurn);
  const FaxRect chart{0, 0, kFaxLinePixels - 1, layout.lines - 1};
  // The chart's own pixels were all just written; what an earlier chart left around it
  // becomes white.
  WhitenOutside(image_.data(), content_, chart);
  content_ = chart;
}

FaxRect FaxImage::Layout(bool qualityFlag, int faxTurn, FaxPicture* full) {
  quality_ = qualityFlag;
  phasing_ = 0;
  pending_.reset();
  if (qualityFlag) {
    WhitenOutside(image_.data(), content_, FaxRect{});
    content_ = FaxRect{};
    const FaxRect page{0, 0, kFaxLinePixels - 1, kFaxSize - 1};
    if (full != nullptr) Render(false, 0, page, *full);
    return page;
  }
  const std::size_t p = FindPhasing(bits_, unpacked_);
  phasing_ = p;
  // Every whole line after the phasing, up to the buffer's rows, with the byte after it
  // (a slanted row may read into it) still among the unpacked ones.
  const std::size_t whole = p < unpacked_ ? (unpacked_ - p - 1) / kFaxLineBytes : 0;
  const int lines = static_cast<int>(std::min<std::size_t>(whole, kFaxSize));
  // The full-size picture is the buffer's rows with black and white swapped.
  std::uint8_t* pixels =
      full == nullptr ? nullptr : StartPicture(false, kFaxLinePixels, lines, *full);
  pending_ = PendingLayout{lines, faxTurn};
  if (pixels != nullptr)
    ExpandLines(bits_.data() + p, nullptr, lines, faxTurn, pixels);
  else
    layOut();
  return FaxRect{0, 0, kFaxLinePixels - 1, lines - 1};
}

void FaxImage::Clear() {
  pending_.reset();
  WhitenOutside(image_.data(), content_, FaxRect{});
  content_ = FaxRect{};
  quality_ = false;
  unpacked_ = 0;
  phasing_ = 0;
}

void FaxImage::Rotate() {
  // Outside the chart the buffer is white, which a turn leaves white: only the chart moves.
  // It is turned into the work buffer, whose leftovers around it are whitened, and the two
  // buffers change places.
  settle();
  if (IsEmpty(content_)) return;
  const FaxRect turned = TurnedRect(content_, 1);
  TurnQuarter(image_.data(), work_.data(), content_);
  WhitenOutside(work_.data(), workUsed_, turned);
  std::swap(image_, work_);
  workUsed_ = content_;
  content_ = turned;
}

}  // namespace tern
