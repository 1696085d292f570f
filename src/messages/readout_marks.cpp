#include "messages/readout_marks.h"

#include <algorithm>

namespace tern {

namespace {
constexpr std::uint8_t kMagic[4] = {'T', 'R', 'N', 'M'};
constexpr std::uint8_t kVersion = 1;
enum State : std::uint8_t { kFinished = 0, kInterrupted = 1, kReadAll = 2 };
}  // namespace

Bytes serializeMarks(const ReadoutMarks& marks) {
  Bytes out;
  ByteWriter w(out);
  w.bytes(kMagic);
  w.u8(kVersion);
  for (std::size_t ch = 0; ch < marks.stoodAt.size(); ++ch) {
    const auto& mark = marks.stoodAt[ch];
    // Reading to the end covers any place a pass stood at.
    const bool readAll = marks.readAll[ch];
    w.u8(readAll ? kReadAll : mark ? kInterrupted : kFinished);
    if (mark && !readAll) {
      w.bytes(*mark);
    } else {
      w.zeros(MessageRecord::kHeaderSize);
    }
  }
  return out;
}

bool parseMarks(ByteView bytes, ReadoutMarks& marks) {
  marks = {};
  if (bytes.size() != ReadoutMarks::kFileSize) return false;
  if (!std::equal(std::begin(kMagic), std::end(kMagic), bytes.begin())) return false;
  ByteReader in(bytes.subspan(4));
  if (in.u8() != kVersion) return false;
  ReadoutMarks read;
  for (std::size_t ch = 0; ch < read.stoodAt.size(); ++ch) {
    auto state = in.u8();
    auto header = in.take(MessageRecord::kHeaderSize);
    if (!state || !header || *state > kReadAll) return false;
    // Only an interrupted channel carries a record: anything else is not a file we wrote.
    if (*state != kInterrupted &&
        std::any_of(header->begin(), header->end(), [](auto b) { return b != 0; }))
      return false;
    if (*state == kInterrupted) {
      MessageRecord::Header h{};
      std::copy(header->begin(), header->end(), h.begin());
      read.stoodAt[ch] = h;
    }
    read.readAll[ch] = *state == kReadAll;
  }
  marks = read;
  return true;
}

}  // namespace tern
