#include "web/fax_chart_png.h"

#include <algorithm>

#include "web/png_writer.h"

namespace tern {

namespace {

struct ChartCopy {
  Bytes data;
  bool quality = false;
  int station = -1;
};

// The chart's station, and its data only when `withData`: a kept picture needs none.
ChartCopy findChart(const MessageStore& store, std::uint64_t id, bool withData) {
  std::lock_guard lock(store.mutex());
  for (int table = kFirstFaxTable; table < kTableCount; ++table) {
    if (const MessageRecord* r = store.table(table).find(id))
      return {withData ? r->data : Bytes(), (r->flagByte() & kQualityFlagBit) != 0,
              table - kFirstFaxTable};
  }
  return {};
}

}  // namespace

Bytes scaleGreyDown(ByteView grey, int width, int height, int toWidth, int& toHeight) {
  toHeight = std::max(1, static_cast<int>(static_cast<long long>(height) * toWidth / width));
  Bytes out(static_cast<std::size_t>(toWidth) * static_cast<std::size_t>(toHeight));
  // Column sums of each band of source rows, then the columns of the band summed per pixel.
  std::vector<std::uint32_t> sums(static_cast<std::size_t>(width));
  for (int y = 0; y < toHeight; ++y) {
    const int top = static_cast<int>(static_cast<long long>(y) * height / toHeight);
    const int bottom =
        std::max(top + 1, static_cast<int>(static_cast<long long>(y + 1) * height / toHeight));
    std::fill(sums.begin(), sums.end(), 0);
    for (int row = top; row < bottom; ++row) {
      const std::uint8_t* line = grey.data() + static_cast<std::size_t>(row) * sums.size();
      for (std::size_t x = 0; x < sums.size(); ++x) sums[x] += line[x];
    }
    for (int x = 0; x < toWidth; ++x) {
      const int left = static_cast<int>(static_cast<long long>(x) * width / toWidth);
      const int right =
          std::max(left + 1, static_cast<int>(static_cast<long long>(x + 1) * width / toWidth));
      std::uint64_t total = 0;
      for (int c = left; c < right; ++c) total += sums[static_cast<std::size_t>(c)];
      const std::uint64_t count = static_cast<std::uint64_t>(right - left) * (bottom - top);
      out[static_cast<std::size_t>(y) * static_cast<std::size_t>(toWidth) +
          static_cast<std::size_t>(x)] = static_cast<std::uint8_t>((total + count / 2) / count);
    }
  }
  return out;
}

std::shared_ptr<const Bytes> FaxChartPictures::Png(const MessageStore& store, std::uint64_t id,
                                                   int width, const Turns& turns) {
  if (width <= 0 || width >= kFaxChartWidth) width = 0;
  ChartCopy chart = findChart(store, id, false);
  if (chart.station < 0) return nullptr;
  const int turn = turns[static_cast<std::size_t>(chart.station)];
  {
    std::lock_guard lock(keptMutex_);
    auto it = kept_.find({id, width});
    if (it != kept_.end() && it->second.turn == turn) {
      it->second.lastUse = ++uses_;
      return it->second.png;
    }
  }

  chart = findChart(store, id, true);
  if (chart.station < 0) return nullptr;  // aged out meanwhile
  Bytes grey;
  int w = 0;
  int h = 0;
  {
    std::lock_guard lock(drawMutex_);
    if (!image_) image_ = std::make_unique<FaxImage>();
    const FaxRect rect = image_->Decode(chart.data, chart.quality, turn);
    w = std::max(0, rect.right - rect.left + 1);
    h = std::max(0, rect.bottom - rect.top + 1);
    if (w == 0 || h == 0) return nullptr;
    grey.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    const ByteView buffer = image_->Buffer();
    std::uint8_t* out = grey.data();
    for (int row = rect.top; row <= rect.bottom; ++row) {
      const std::uint8_t* line = buffer.data() + static_cast<std::size_t>(row) * kFaxSize;
      for (int column = rect.left; column <= rect.right; ++column)
        *out++ = line[column] != 0 ? 0 : 255;
    }
  }
  if (width > 0 && width < w) {
    int scaledHeight = 0;
    grey = scaleGreyDown(grey, w, h, width, scaledHeight);
    w = width;
    h = scaledHeight;
  }
  auto png = std::make_shared<const Bytes>(encodeGreyPng(w, h, grey));
  if (png->empty()) return nullptr;

  std::lock_guard lock(keptMutex_);
  kept_[{id, width}] = {turn, png, ++uses_};
  if (kept_.size() > kKept) {
    auto oldest = std::min_element(kept_.begin(), kept_.end(), [](const auto& a, const auto& b) {
      return a.second.lastUse < b.second.lastUse;
    });
    kept_.erase(oldest);
  }
  return png;
}

}  // namespace tern
