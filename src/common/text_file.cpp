#include "common/text_file.h"

#include "common/latin1.h"

namespace tern {

Bytes encodeTextFile(const std::vector<std::string>& lines) {
  Bytes out;
  for (const std::string& line : lines) {
    out.insert(out.end(), line.begin(), line.end());
    out.push_back('\n');
  }
  return out;
}

bool isValidUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto b = static_cast<unsigned char>(text[i]);
    std::size_t more = 0;
    char32_t cp = 0;
    if (b < 0x80) {
      ++i;
      continue;
    } else if ((b & 0xE0) == 0xC0) {
      more = 1;
      cp = b & 0x1F;
    } else if ((b & 0xF0) == 0xE0) {
      more = 2;
      cp = b & 0x0F;
    } else if ((b & 0xF8) == 0xF0) {
      more = 3;
      cp = b & 0x07;
    } else {
      return false;
    }
    if (i + more >= text.size()) return false;  // cut off at the end
    for (std::size_t k = 1; k <= more; ++k) {
      const auto c = static_cast<unsigned char>(text[i + k]);
      if ((c & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (c & 0x3F);
    }
    // Overlong forms, surrogates and code points beyond Unicode are not UTF-8.
    static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMin[more] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += more + 1;
  }
  return true;
}

std::vector<std::string> decodeTextFile(ByteView bytes) {
  std::string text(bytes.begin(), bytes.end());
  if (isValidUtf8(text)) {
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
  } else {
    text = latin1ToUtf8(text);
  }
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(std::move(line));
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line.push_back(c);
    }
  }
  if (!line.empty()) lines.push_back(std::move(line));
  return lines;
}

}  // namespace tern
