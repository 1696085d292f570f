// One stored message: the 26-byte header as the receiver sent it, the new flag, and the
// message data. Schedule tables, NAVTEX lists and the data files are made of these.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/bytes.h"
#include "common/clock.h"
#include "link/protocol.h"

namespace tern {

// Thread: plain value; whoever holds the link's data lock may touch it.
struct MessageRecord {
  static constexpr std::size_t kHeaderSize = protocol::kRecordHeaderSize;
  // No record can be larger than the receiver's reply buffer.
  static constexpr std::uint32_t kMaxDataLength = protocol::kRxBufferSize;
  static constexpr std::uint8_t kEmptyCode = 255;
  using Header = std::array<std::uint8_t, kHeaderSize>;

  Header header{};
  std::uint8_t newFlag = 0;
  Bytes data;
  // A number unique within the process, given when the record is stored or loaded. Views
  // keep it instead of a pointer, so a record that a read-out moved or dropped is found
  // missing instead of being read after it was freed. 0 for empty slots.
  std::uint64_t serial = 0;

  static MessageRecord empty();
  bool isEmpty() const { return header[0] == kEmptyCode; }
  std::uint8_t transmitterCode() const { return header[0]; }
  std::uint32_t dataLength() const { return getU32(header, 1); }
  // The key text: bytes 5..16 up to the first 0 byte (Latin-1).
  std::string keyText() const;
  // The 12 raw key bytes, for comparisons that must not stop at a 0 byte.
  ByteView keyBytes() const { return ByteView(header).subspan(5, protocol::kRecordKeyLength); }
  // UTC reception time from bytes 17..22 (may be invalid: check isValidCivilTime).
  CivilTime receptionTime() const;
  std::uint8_t flagByte() const { return header[25]; }
  // The data as text lines: split at LF, CR dropped (Latin-1, as received).
  std::vector<std::string> textLines() const;
};

// True when the record's reception time lies more than `days` days before `utcNow`, or
// when its time fields do not form a valid date and time.
bool isOlderThan(const MessageRecord& record, const CivilTime& utcNow, int days);

// The record of `records` with `serial`; null for serial 0 (empty slots) and for a record a
// read-out has moved or dropped.
template <typename Records>
auto findBySerial(Records& records, std::uint64_t serial) -> decltype(&*records.begin()) {
  if (serial == 0) return nullptr;
  auto it = std::find_if(records.begin(), records.end(),
                         [serial](const MessageRecord& r) { return r.serial == serial; });
  return it == records.end() ? nullptr : &*it;
}

// Builds a header; for tests, the simulated receiver and tools.
MessageRecord::Header makeHeader(std::uint8_t code, std::uint32_t length, const std::string& key,
                                 const CivilTime& utc, std::uint8_t flagByte = 0);

}  // namespace tern
