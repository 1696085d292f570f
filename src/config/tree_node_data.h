// One schedule entry of the selection model, and its fixed 140-byte record. The record is
// written verbatim into the settings file, so its layout is read and written byte by byte
// and never depends on the compiler.
//
// Record layout (little-endian):
//   0    Kind (0 root, 1 group, 2 free, 3 selected, 4 blocked)
//   1    Text: length byte + up to 127 Latin-1 characters (unused bytes written as 0)
//   129  reserved, written as 0
//   130  StartMinute, u16
//   132  Duration, minutes
//   133  FreqCode
//   134  Id, six bytes
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/bytes.h"

namespace tern {

enum class NodeKind : std::uint8_t { Root = 0, Group = 1, Free = 2, Selected = 3, Blocked = 4 };

struct TTreeNodeData {
  static constexpr std::size_t kRecordSize = 140;
  static constexpr std::size_t kMaxText = 127;

  NodeKind Kind = NodeKind::Free;
  std::string Text;  // Latin-1, at most kMaxText characters
  std::uint16_t StartMinute = 0;
  std::uint8_t Duration = 0;
  std::uint8_t FreqCode = 0;
  // The block identifier's first six characters; a shorter identifier is filled with zero
  // bytes, which is also how the receiver ends key texts shorter than their field.
  std::array<std::uint8_t, 6> Id{};

  bool isTime() const {
    return Kind == NodeKind::Free || Kind == NodeKind::Selected || Kind == NodeKind::Blocked;
  }

  // Appends the 140-byte record.
  void write(Bytes& out) const;
  // Reads a record from exactly kRecordSize bytes. A length byte above 127 reads as 127;
  // Kind is taken as stored (callers decide what they accept).
  static TTreeNodeData read(ByteView record);

  bool operator==(const TTreeNodeData&) const = default;
};

// Cuts a text to the 127 characters a record holds.
std::string recordText(std::string text);

// The six Id bytes of an identifier line.
std::array<std::uint8_t, 6> identifierBytes(const std::string& identifier);

}  // namespace tern
