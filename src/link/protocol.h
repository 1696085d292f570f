// The receiver's wire protocol as both ends see it: command codes, frame and buffer limits,
// the memory map and the receiver's USB description. The link and the simulated receiver
// share these constants so the two ends cannot drift apart.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace tern::protocol {

// The only thing that identifies the receiver on the USB bus.
inline constexpr std::string_view kReceiverDescription = "Seatern Radio Europe";
// Descriptions are compared on at most this many characters (the length of the vendor
// library's description buffer without its final 0 byte).
inline constexpr std::size_t kDescriptionMax = 80;

inline constexpr std::uint32_t kTxBufferSize = 32768;
inline constexpr std::uint32_t kRxBufferSize = 1048576;
inline constexpr std::uint32_t kWritePiece = 16384;
inline constexpr std::uint32_t kDefaultTimeoutMs = 800;
inline constexpr std::uint32_t kPingTimeoutMs = 500;
inline constexpr std::uint32_t kRecordDataTimeoutMs = 4000;
// The piece in which a record's data are waited for when a stop may end the wait.
inline constexpr std::uint32_t kRecordDataSliceMs = 250;
// After a record that did not match its header, the input counts as drained once nothing
// has arrived for this long: the receiver sends a reply in one piece and nothing unasked.
inline constexpr std::uint32_t kResyncQuietMs = 200;

// Frame: [code, payload length n, n payload bytes]; no marks, no checksum.
inline constexpr std::size_t kFrameHead = 2;

enum Command : std::uint8_t {
  kPing = 1,
  kReadClock = 2,
  kSetClock = 3,
  kSelectChannel = 8,
  kNextRecord = 9,
  kWritePage = 10,
  kReadPage = 11,
  kStartProgramming = 12,
  kReadSerialNumber = 14,
  kReadFirmwareVersion = 15,
  kReadStatus = 16,
  kReadBaroPage = 17,
  kReadBaroNow = 18,
  kStartReceiveTest = 19,
  kStopReceiveTest = 20,
};

// What SelectChannel streams: the receiver keeps one record log per group. (The PC's
// finer message channels, one per table or list, are tern::Channel.)
enum RecordGroup : std::uint8_t { kGroupNavtex = 0, kGroupDwd = 1, kGroupFax = 2 };

// Bits of the status word.
inline constexpr std::uint16_t kStatusNewDwd = 1;
inline constexpr std::uint16_t kStatusNewFax = 2;
inline constexpr std::uint16_t kStatusNewNavtex = 4;

// Receiver memory.
inline constexpr std::uint32_t kPageCount = 8192;
inline constexpr std::uint32_t kPageSize = 528;
inline constexpr std::uint32_t kProtectedPage = 7;  // never written by the program
inline constexpr std::uint32_t kSettingsFirstPage = 0;
inline constexpr std::uint32_t kSettingsPiece = 500;
inline constexpr std::uint32_t kSettingsMinLength = 2000;
inline constexpr std::uint32_t kSettingsMaxLength = 2028;
inline constexpr std::uint32_t kBaroFirstPage = 8;
inline constexpr std::uint32_t kBaroLastPage = 511;
inline constexpr std::uint32_t kBaroRingSamples = 32256;  // 504 pages of 64 samples
inline constexpr std::uint32_t kBaroSamplesPerPage = 64;
inline constexpr std::uint32_t kBaroSampleSize = 8;
inline constexpr std::uint32_t kBaroPageHead = 8;
inline constexpr std::uint32_t kBaroPageLength = 520;  // page head + 64 samples
// The receiver's own program: boot loader and firmware, each written in 512-byte pages from
// a fixed first page; pages beyond an image's end are written with 0xFF.
inline constexpr std::uint32_t kImagePageLength = 512;
inline constexpr std::uint32_t kBootLoaderFirstPage = 512;
inline constexpr std::uint32_t kBootLoaderPages = 16;
inline constexpr std::uint32_t kBootLoaderImageSize = 4316;
inline constexpr std::uint32_t kFirmwareFirstPage = 528;
inline constexpr std::uint32_t kFirmwarePages = 127;
inline constexpr std::uint32_t kFirmwareImageSize = 59392;
static_assert(kBootLoaderFirstPage + kBootLoaderPages == kFirmwareFirstPage);
static_assert(kBootLoaderImageSize <= kBootLoaderPages * kImagePageLength);
static_assert(kFirmwareImageSize <= kFirmwarePages * kImagePageLength);

// Years travel as one byte counted from this year (clock and record headers).
inline constexpr int kYearBase = 2000;

// Replies with fixed lengths.
inline constexpr std::size_t kClockReplyLength = 10;
inline constexpr std::size_t kIdentityTextLength = 12;  // serial number, firmware version
inline constexpr std::size_t kBaroNowDataLength = 5;
inline constexpr std::size_t kRecordHeaderSize = 26;
inline constexpr std::size_t kRecordKeyLength = 12;

// The bytes that must follow [12, 6] before the receiver reprograms itself. They guard
// against a stray frame wiping the firmware. Their value belongs to the firmware in the
// receiver and is not known here: it comes with the firmware images (their manifest).
inline constexpr std::size_t kUnlockLength = 6;
using UnlockSequence = std::array<std::uint8_t, kUnlockLength>;

// The reception-test stream: 10 ends a line, 13 is ignored, 255 means the receiver ended
// the test; every other byte is a Latin-1 character.
inline constexpr std::uint8_t kStreamLineFeed = 10;
inline constexpr std::uint8_t kStreamCarriageReturn = 13;
inline constexpr std::uint8_t kStreamEnd = 255;

// Number of known transmitter codes (0..24).
inline constexpr int kTransmitterCount = 25;

}  // namespace tern::protocol
