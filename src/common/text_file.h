// Text files saved and loaded by hand. Saved files are UTF-8 with "\n" line ends, one line
// per memo line, the last one ended too, so they open alike in every editor and load back
// unchanged. Loaded files come from anywhere: a file that is valid UTF-8 is read as UTF-8
// (a leading byte-order mark dropped), anything else as Latin-1, which is what the received
// bulletins and the files of older versions are. "\r\n", "\r" and "\n" all end a line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "common/bytes.h"

namespace tern {

// Larger files are refused on loading; a bulletin is a few kilobytes.
inline constexpr std::size_t kMaxTextFileBytes = 4 * 1024 * 1024;

// `lines` are UTF-8.
Bytes encodeTextFile(const std::vector<std::string>& lines);

// The file's lines as UTF-8. A file ending with a line end has no empty last line.
std::vector<std::string> decodeTextFile(ByteView bytes);

bool isValidUtf8(std::string_view text);

}  // namespace tern
