// The files of the web page (document, script, style sheet, icon, the wind map's background,
// the sea map's land), built into the program from src/web/page/ and the assets, so the
// service reads no file to serve them and no path of a request ever reaches the file system.
#pragma once

#include <span>
#include <string_view>

namespace tern {

struct PageFile {
  std::string_view name;  // the file's name, as "tern.js"
  std::span<const unsigned char> bytes;
};

// Thread: any; the table is constant.
std::span<const PageFile> pageFiles();

// The file named `name`, or null.
const PageFile* findPageFile(std::string_view name);

}  // namespace tern
