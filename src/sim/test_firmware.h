// The simulated receiver's own firmware images, so the update runs end to end in
// `--simulate`, in tests and in the demo without the maker's images. They are made by the
// compiler from a fixed pattern and start with a plain marker; they are never installed as
// the program's firmware files and mean nothing to a real receiver.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "link/protocol.h"

namespace tern::sim {

inline constexpr std::string_view kTestImageMarker =
    "TERN SIMULATOR TEST IMAGE - NOT FOR A REAL RECEIVER";
// The version the test images stand for, and the unlock sequence the simulated receiver's
// firmware expects before it reprograms itself. Both are the simulator's own.
inline constexpr std::string_view kTestFirmwareVersion = "1.2.4";
inline constexpr protocol::UnlockSequence kTestUnlockSequence = {0x54, 0x45, 0x52,
                                                                 0x4E, 0xA5, 0x5A};

namespace detail {

// Marker, then a byte pattern that differs from page to page and never runs into 0xFF
// stretches, so a page written to the wrong place or left out shows in a comparison.
template <std::size_t N>
constexpr std::array<std::uint8_t, N> testImage(std::uint8_t kind) {
  std::array<std::uint8_t, N> image{};
  std::size_t i = 0;
  for (char c : kTestImageMarker) image[i++] = static_cast<std::uint8_t>(c);
  image[i++] = kind;
  for (; i < N; ++i) image[i] = static_cast<std::uint8_t>((i * 7 + i / 512 * 13 + kind) % 251);
  return image;
}

}  // namespace detail

inline constexpr std::array<std::uint8_t, protocol::kBootLoaderImageSize> kTestBootLoaderImage =
    detail::testImage<protocol::kBootLoaderImageSize>('B');
inline constexpr std::array<std::uint8_t, protocol::kFirmwareImageSize> kTestFirmwareImage =
    detail::testImage<protocol::kFirmwareImageSize>('F');

}  // namespace tern::sim
