// The operating system's reason for a failed call, in German like every other text the user
// reads. The C library speaks English in the locale the program runs in.
#pragma once

#include <string>

namespace tern {

// German for the reasons a file, folder or network call commonly fails; any other number
// keeps the C library's text.
std::string systemErrorText(int error);

// The same for a getaddrinfo() result (EAI_*): a name that cannot be resolved, a resolver
// that does not answer. EAI_SYSTEM takes errno's text.
std::string resolverErrorText(int code);

}  // namespace tern
