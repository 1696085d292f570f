#include "presenters/export_names.h"

#include "common/latin1.h"

namespace tern {

std::string textFileName(const std::string& currentKey) {
  std::string name = currentKey;
  for (char& c : name) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F || c == '/' || c == '\\') c = '_';
  }
  if (!name.empty() && name.front() == '.') name.front() = '_';
  return latin1ToUtf8(name) + ".TXT";
}

}  // namespace tern
