// The image buffers of the fax store and the operations on the chart decoded last: decoding
// a recording into the 2400 x 2400 buffer, turning the buffer, rendering it as a picture.
// One set of buffers serves all stations (a decode replaces the previous chart); they are
// allocated once, so decoding, turning and rendering into a reused picture allocate nothing.
#pragma once

#include <cstdint>
#include <optional>

#include "common/bytes.h"
#include "common/zeroed_bytes.h"
#include "fax/fax_decode.h"
#include "fax/fax_picture.h"

namespace tern {

// The notice drawn onto the picture of a recording that the receiver dropped for its
// reception quality.
inline constexpr const char* kFaxQualityNotice =
    "Die Empfangsqualität war nicht ausreichend. Die Nachricht wurde gelöscht.";
inline constexpr int kFaxNoticeX = 30;
inline constexpr int kFaxNoticeY = 30;

// Bit 1 of a record's flag byte: the receiver judged the reception insufficient.
inline constexpr std::uint8_t kQualityFlagBit = 0x02;

// The image buffer is brought up to date lazily after a decode that rendered the full-size
// picture in its pass: a selection or a slant drag at full size needs only the picture, and
// writing 4.3 MB of buffer nobody reads would more than double its cost. The first read of
// the buffer (Render, Rotate, Buffer, Pixel) lays the chart out from the bit buffer then.
//
// Thread: one thread at a time (the window thread in the program), the const members too:
// they may bring the buffer up to date.
class FaxImage {
 public:
  FaxImage();

  // Step one of a decode: unpacks the data into the bit buffer. Needs the data only for
  // its own duration, so a caller can hold the message store's lock just around it. Until
  // the Layout that follows, the buffer holds the chart before or a white page.
  void Unpack(ByteView data);
  // Step two: lays the unpacked chart out in the image buffer, finds its left edge and
  // corrects the slant. With `qualityFlag` the chart is not laid out and the buffer is a
  // white page of 2400 lines. Returns the chart's rectangle: 0, 0, 1799, lines - 1.
  // Given `full`, renders the chart into it as Render(false, 0, rect, *full) would, straight
  // from the bit buffer, and leaves the buffer to be laid out when it is first read.
  FaxRect Layout(bool qualityFlag, int faxTurn, FaxPicture* full = nullptr);
  // Both steps.
  FaxRect Decode(ByteView data, bool qualityFlag, int faxTurn, FaxPicture* full = nullptr) {
    Unpack(data);
    return Layout(qualityFlag, faxTurn, full);
  }
  // Makes the buffer a white page without a chart (rectangle of no lines).
  void Clear();

  // Turns the whole buffer a quarter turn counter-clockwise: the chart's top edge becomes
  // its left edge. Moves only the chart; Buffer() views taken before are no longer valid.
  void Rotate();

  // Renders the chart `rect` (as returned by Layout) after `rotationState` quarter turns
  // into `out`, reusing its storage. Full size: one palette index per buffer pixel, black
  // and white. Half size: each picture pixel samples the buffer pixels (2y, 2x) and
  // (2y+1, 2x+1) of the turned chart: both white gives white, one grey, none black.
  //
  // The picture is exactly the turned chart: (right + 1) x (bottom + 1) pixels, or the
  // other way round after an odd number of turns; at half size each side is halved,
  // rounding up. A dropped recording carries the quality notice at (30, 30).
  void Render(bool half, int rotationState, const FaxRect& rect, FaxPicture& out) const;

  bool QualityFlag() const { return quality_; }
  // n and the phasing offset of the last decode (0 after a dropped one).
  std::size_t UnpackedBytes() const { return unpacked_; }
  std::size_t PhasingOffset() const { return phasing_; }
  // The buffer: kFaxSize rows of kFaxSize pixels, 0 white, 1 black.
  ByteView Buffer() const {
    settle();
    return image_;
  }
  std::uint8_t Pixel(int row, int column) const {
    settle();
    return image_[static_cast<std::size_t>(row) * kFaxSize + static_cast<std::size_t>(column)];
  }
  ByteView Bits() const { return bits_; }

 private:
  // Makes `out` a half- or full-size picture of `width` x `height` with this chart's notice
  // and returns its pixels, to be filled (what it held before is left in them).
  std::uint8_t* StartPicture(bool half, int width, int height, FaxPicture& out) const;
  // Lays out the chart the buffer is behind on, if any.
  void settle() const {
    if (pending_) layOut();
  }
  void layOut() const;

  // The buffer's next layout: `lines` lines of the bit buffer from the phasing on, corrected
  // for `faxTurn` (no lines: a white page).
  struct PendingLayout {
    int lines = 0;
    int faxTurn = 0;
  };

  ZeroedBytes bits_;           // kFaxBitBufferSize
  mutable ZeroedBytes image_;  // kFaxImageBytes
  ZeroedBytes work_;           // kFaxImageBytes: turning target
  // Where each buffer may hold black pixels; both are white everywhere else, so a decode
  // or a turn whitens only what the chart before it covered. Always what the buffer's
  // bytes hold, also while a layout is pending.
  mutable FaxRect content_;
  mutable std::optional<PendingLayout> pending_;
  FaxRect workUsed_;
  std::size_t unpacked_ = 0;
  std::size_t phasing_ = 0;
  bool quality_ = false;
};

// The chart rectangle `rect` of the unturned buffer after `rotationState` quarter turns.
FaxRect TurnedRect(const FaxRect& rect, int rotationState);

}  // namespace tern
