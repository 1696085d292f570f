#include "config/receive_test_choice.h"

namespace tern {

namespace {
// Anything longer is not a call sign.
constexpr std::size_t kMaxBytes = 64;
}  // namespace

std::string LoadReceiveTestChoice(const std::string& dataFolder) {
  FileData data = readWholeFile(dataFolder + std::string(kReceiveTestChoiceFile), kMaxBytes);
  if (!data.status.ok) return {};
  std::string text(data.bytes.begin(), data.bytes.end());
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
    text.pop_back();
  return text;
}

FileStatus SaveReceiveTestChoice(const std::string& dataFolder, std::string_view callSign) {
  const std::string text = std::string(callSign) + "\n";
  return replaceFileAtomically(
      dataFolder + std::string(kReceiveTestChoiceFile),
      ByteView(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

}  // namespace tern
