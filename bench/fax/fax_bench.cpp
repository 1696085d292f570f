// Figures for the road of a fax chart: decoding a 2400-line recording and rendering it at
// full size (the work behind every selection and slant drag; the picture is written straight
// from the bit stream, as the fax page and the export have it, and the image buffer is laid
// out only when something reads it), decoding into the image buffer alone, rendering alone,
// and one quarter turn of the image buffer. Each is measured beside a memcpy of the 5.76 MB
// image buffer (support/ratio.h): one from memory (x_memcpy_cold) and one of the same buffer
// again right after itself, as cached as it gets (x_memcpy_repeated).
#include <benchmark/benchmark.h>

#include "fakes/fax_encoder.h"
#include "fax/fax_image.h"
#include "support/ratio.h"

namespace {

tern::bench::MemcpyReference& bufferCopy() {
  static tern::bench::MemcpyReference reference(tern::kFaxImageBytes);
  return reference;
}

// A weather chart: mostly white, runs and some literals.
const tern::Bytes& recording() {
  static const tern::Bytes data =
      tern::testing::encodeBuffer(tern::testing::chartBuffer(tern::kFaxSize));
  return data;
}

// The worst case for unpacking: the chart's lines full of noise, all literals.
const tern::Bytes& noisyRecording() {
  static const tern::Bytes data = [] {
    tern::Bytes buffer = tern::testing::chartBuffer(tern::kFaxSize);
    std::uint32_t seed = 5;
    for (std::size_t i = 1125 * 2; i + 1 < buffer.size(); ++i) {
      seed = seed * 1664525u + 1013904223u;
      buffer[i] = static_cast<std::uint8_t>(seed >> 24);
    }
    return tern::testing::encodeBuffer(buffer);
  }();
  return data;
}

// Args: the slant value; 1 for the noisy chart.
void DecodeAndRenderFull(benchmark::State& state) {
  tern::FaxImage image;
  tern::FaxPicture picture;
  const int turn = static_cast<int>(state.range(0));
  const tern::Bytes& data = state.range(1) ? noisyRecording() : recording();
  {
    tern::bench::Interleaved timing(state);
    for (auto _ : state) {
      bufferCopy().Round(timing, [&] {
        image.Decode(data, false, turn, &picture);
        benchmark::DoNotOptimize(picture.pixels.data());
      });
    }
  }
  state.counters["lines"] = static_cast<double>(image.Decode(data, false, turn).bottom + 1);
  state.counters["data_bytes"] = static_cast<double>(data.size());
}
BENCHMARK(DecodeAndRenderFull)
    ->Args({0, 0})
    ->Args({300, 0})
    ->Args({0, 1})
    ->Args({-300, 1})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void Decode(benchmark::State& state) {
  tern::FaxImage image;
  for (auto _ : state) benchmark::DoNotOptimize(image.Decode(recording(), false, 0));
}
BENCHMARK(Decode)->Unit(benchmark::kMillisecond);

// Arg: 1 half size, 0 full size.
void Render(benchmark::State& state) {
  tern::FaxImage image;
  tern::FaxPicture picture;
  const tern::FaxRect rect = image.Decode(recording(), false, 0);
  for (auto _ : state) {
    image.Render(state.range(0) != 0, 0, rect, picture);
    benchmark::DoNotOptimize(picture.pixels.data());
  }
}
BENCHMARK(Render)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void Rotate(benchmark::State& state) {
  tern::FaxImage image;
  image.Decode(recording(), false, 0);
  tern::bench::Interleaved timing(state);
  for (auto _ : state) {
    bufferCopy().Round(timing, [&] {
      image.Rotate();
      benchmark::DoNotOptimize(image.Buffer().data());
    });
  }
}
BENCHMARK(Rotate)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
