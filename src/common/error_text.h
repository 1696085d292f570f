// The operating system's reason for a failed call, in German like every other text the user
// reads. The C library speaks English in the locale the program runs in.
#pragma once

#include <string>

namespace tern {

// German for the reasons a file, folder or network call commonly fails; any other number
// keeps the C library's text.
std::string systemErrorText(int error);

}  // namespace tern
