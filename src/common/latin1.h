// Message bytes from the receiver and the project's binary files are Latin-1; the program's
// own texts are UTF-8. These two conversions are the only bridge between them.
#pragma once

#include <string>
#include <string_view>

namespace tern {

// Every byte is one code point U+0000..U+00FF.
std::string latin1ToUtf8(std::string_view latin1);

// Code points above U+00FF and malformed sequences become '?'.
std::string utf8ToLatin1(std::string_view utf8);

}  // namespace tern
