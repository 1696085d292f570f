#include "web/page_files.h"

namespace tern {

const PageFile* findPageFile(std::string_view name) {
  for (const PageFile& file : pageFiles())
    if (file.name == name) return &file;
  return nullptr;
}

}  // namespace tern
