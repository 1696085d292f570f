#include "messages/readout_marks.h"

#include <algorithm>

namespace tern {

namespace {
constexpr std::uint8_t kMagic[4] = {'T', 'R', 'N', 'M'};
constexpr std::uint8_t kVersion = 1;
}  // namespace

Bytes serializeMarks(const ReadoutMarks& marks) {
  Bytes out;
  ByteWriter w(out);
  w.bytes(kMagic);
  w.u8(kVersion);
  for (const auto& mark : marks.stoodAt) {
    w.u8(mark ? 1 : 0);
    if (mark) {
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
  for (auto& mark : read.stoodAt) {
    auto state = in.u8();
    auto header = in.take(MessageRecord::kHeaderSize);
    if (!state || !header || *state > 1) return false;
    // A finished channel carries no record: anything else is not a file we wrote.
    if (*state == 0 && std::any_of(header->begin(), header->end(), [](auto b) { return b != 0; }))
      return false;
    if (*state == 1) {
      MessageRecord::Header h{};
      std::copy(header->begin(), header->end(), h.begin());
      mark = h;
    }
  }
  marks = read;
  return true;
}

}  // namespace tern
