#include "ui/fax_notice.h"

#include <QImage>

#include "fax/bmp_writer.h"
#include "ui/fax_image_label.h"

namespace tern {

FaxPicture withNoticeDrawn(const FaxPicture& picture) {
  if (!picture.notice || picture.width <= 0 || picture.height <= 0) return picture;
  // Drawn exactly as the screen shows it, then every dark pixel of the text is set to black.
  const QImage shown = FaxImageLabel::toImage(picture).convertToFormat(QImage::Format_RGB32);
  std::uint8_t black = 0;
  for (std::size_t i = 0; i < picture.palette.size(); ++i) {
    if (picture.palette[i] == kFaxBlack) {
      black = static_cast<std::uint8_t>(i);
      break;
    }
  }
  FaxPicture out = picture;
  out.notice.reset();
  for (int y = 0; y < out.height && y < shown.height(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(shown.constScanLine(y));
    for (int x = 0; x < out.width && x < shown.width(); ++x) {
      // Only where the text changed the pixel; the chart's own dark greys stay.
      const bool drawn = (row[x] & 0xFFFFFFu) != (picture.colourAt(x, y) & 0xFFFFFFu);
      if (drawn && qGray(row[x]) < 128) {
        out.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(out.width) +
                   static_cast<std::size_t>(x)] = black;
      }
    }
  }
  return out;
}

}  // namespace tern
