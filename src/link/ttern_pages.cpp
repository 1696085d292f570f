// Commands on the receiver's page memory: single pages, the barometer status block, the
// schedule block in pages 0..3, and the start of reprogramming.
#include <algorithm>

#include "link/ttern.h"

namespace tern {

namespace p = protocol;

namespace {

std::array<std::uint8_t, 4> pageRequest(std::uint32_t page, std::uint32_t length) {
  std::array<std::uint8_t, 4> r{};
  putU16(r.data(), static_cast<std::uint16_t>(page));
  putU16(r.data() + 2, static_cast<std::uint16_t>(length));
  return r;
}

}  // namespace

bool TTERN::WritePage(std::uint32_t page, ByteView data, bool autoOpen) {
  if (data.size() > p::kPageSize || page == p::kProtectedPage || page >= p::kPageCount)
    return false;
  auto length = static_cast<std::uint32_t>(data.size());
  return withLink(autoOpen, [&] {
    if (!sendFrame(p::kWritePage, pageRequest(page, length))) return false;
    // The data go as a second send, not counted in the frame's length byte.
    std::copy(data.begin(), data.end(), link_.TxBuffer().begin());
    if (length > 0 && !link_.send(length).ok()) return false;
    return expectHead(p::kWritePage, 0);
  });
}

bool TTERN::ReadPage(std::uint32_t page, std::span<std::uint8_t> buffer, bool autoOpen) {
  // Page 7 may be read; only writing it is refused.
  if (buffer.size() > p::kPageSize || page >= p::kPageCount) return false;
  auto length = static_cast<std::uint32_t>(buffer.size());
  return withLink(autoOpen, [&] {
    if (!sendFrame(p::kReadPage, pageRequest(page, length))) return false;
    if (!expectHead(p::kReadPage, 0) || !receiveExactly(length)) return false;
    std::copy_n(link_.RxBuffer().begin(), length, buffer.begin());
    return true;
  });
}

bool TTERN::ReadBaroPage(std::span<std::uint8_t> buffer, bool autoOpen) {
  if (buffer.size() > p::kRxBufferSize) return false;
  auto length = static_cast<std::uint32_t>(buffer.size());
  return withLink(autoOpen, [&] {
    if (!sendFrame(p::kReadBaroPage, {}) || !expectHead(p::kReadBaroPage, 0)) return false;
    if (!receiveExactly(length)) return false;
    std::copy_n(link_.RxBuffer().begin(), length, buffer.begin());
    return true;
  });
}

bool TTERN::StartProgramming(const p::UnlockSequence& unlock, bool autoOpen) {
  return exchangeAck(p::kStartProgramming, unlock, autoOpen);
}

bool TTERN::WriteSettings(ByteView block, bool autoOpen) {
  if (block.size() < p::kSettingsMinLength || block.size() > p::kSettingsMaxLength) return false;
  if (autoOpen && !link_.OpenLink()) return false;
  auto pieceOf = [&](std::uint32_t i) {
    std::size_t from = i * p::kSettingsPiece;
    std::size_t length = i < 3 ? p::kSettingsPiece : block.size() - from;
    return block.subspan(from, length);
  };
  bool ok = true;
  for (std::uint32_t i = 0; ok && i < 4; ++i)
    ok = WritePage(p::kSettingsFirstPage + i, pieceOf(i), false);
  std::array<std::uint8_t, p::kPageSize> back{};
  for (std::uint32_t i = 0; ok && i < 4; ++i) {
    ByteView expected = pieceOf(i);
    std::span<std::uint8_t> got = std::span(back).first(expected.size());
    ok = ReadPage(p::kSettingsFirstPage + i, got, false) &&
         std::equal(got.begin(), got.end(), expected.begin());
  }
  if (!ok) {
    // A half-written schedule must not stay behind an open link the caller forgets.
    link_.CloseLink();
    return false;
  }
  return autoOpen ? link_.CloseLink() : true;
}

}  // namespace tern
