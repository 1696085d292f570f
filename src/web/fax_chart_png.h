// The web page's fax chart pictures: a recorded chart decoded by the fax codec and written
// as PNG, at full size or scaled down for a small screen. The newest picture of each chart
// and width is kept (with the slant it was drawn with), so a page that many clients open
// decodes each chart once.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <utility>

#include "common/bytes.h"
#include "fax/fax_image.h"
#include "messages/channels.h"
#include "messages/message_store.h"

namespace tern {

inline constexpr int kFaxChartWidth = 1800;  // a decoded chart's width in pixels

// Thread: any; one chart is decoded at a time, the kept pictures are shared.
class FaxChartPictures {
 public:
  using Turns = std::array<int, kFaxStationCount>;

  // The fax chart with record serial `id`, decoded with its station's slant correction from
  // `turns`: the whole chart in black and white, or with `width` (1 to 1799) scaled down to
  // that many pixels across with grey levels. Nothing when no fax record has this id (any
  // more) or the picture could not be written.
  std::shared_ptr<const Bytes> Png(const MessageStore& store, std::uint64_t id, int width,
                                   const Turns& turns);

 private:
  struct Kept {
    int turn = 0;
    std::shared_ptr<const Bytes> png;
    std::uint64_t lastUse = 0;
  };
  static constexpr std::size_t kKept = 24;

  std::mutex keptMutex_;
  std::map<std::pair<std::uint64_t, int>, Kept> kept_;  // by id and width
  std::uint64_t uses_ = 0;
  std::mutex drawMutex_;
  std::unique_ptr<FaxImage> image_;  // 12 MB, made at the first chart
};

// `grey` (`width` x `height`) scaled down to `toWidth` pixels across, the height in the same
// ratio (at least 1), each pixel the mean of the pixels it covers.
Bytes scaleGreyDown(ByteView grey, int width, int height, int toWidth, int& toHeight);

}  // namespace tern
