#include "config/tree_node_data.h"

#include <algorithm>

namespace tern {

void TTreeNodeData::write(Bytes& out) const {
  const std::size_t length = std::min(Text.size(), kMaxText);
  ByteWriter w(out);
  w.u8(static_cast<std::uint8_t>(Kind));
  w.u8(static_cast<std::uint8_t>(length));
  w.text(std::string_view(Text).substr(0, length));
  w.zeros(kMaxText - length);
  w.u8(0);  // reserved
  w.u16(StartMinute);
  w.u8(Duration);
  w.u8(FreqCode);
  w.bytes(Id);
}

TTreeNodeData TTreeNodeData::read(ByteView record) {
  TTreeNodeData d;
  d.Kind = static_cast<NodeKind>(record[0]);
  const std::size_t length = std::min<std::size_t>(record[1], kMaxText);
  d.Text.assign(reinterpret_cast<const char*>(record.data()) + 2, length);
  d.StartMinute = getU16(record, 130);
  d.Duration = record[132];
  d.FreqCode = record[133];
  std::copy_n(record.begin() + 134, 6, d.Id.begin());
  return d;
}

std::string recordText(std::string text) {
  if (text.size() > TTreeNodeData::kMaxText) text.resize(TTreeNodeData::kMaxText);
  return text;
}

std::array<std::uint8_t, 6> identifierBytes(const std::string& identifier) {
  std::array<std::uint8_t, 6> id{};
  for (std::size_t i = 0; i < id.size() && i < identifier.size(); ++i)
    id[i] = static_cast<std::uint8_t>(identifier[i]);
  return id;
}

}  // namespace tern
