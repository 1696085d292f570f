// The web server's listening socket, made here rather than by the HTTP library so that the
// address forms, the port reuse and the length of the listen queue are the program's own
// and the same with every version of the library.
#pragma once

#include <string>

namespace tern {

struct ListenSocket {
  int fd = -1;    // listening, non-blocking, close-on-exec; -1 on failure
  int port = 0;   // the port bound (the kernel's choice for port 0)
  int error = 0;  // errno of the failure, or an EAI_* code when `resolver` is set
  bool resolver = false;
};

// Binds `host` (a numeric IPv4 or IPv6 address, IPv6 without brackets; "::" takes IPv4
// clients too) and `port` (0: a free one) and listens with a queue of `backlog`.
// Thread: any.
ListenSocket OpenListenSocket(const std::string& host, int port, int backlog);

}  // namespace tern
