// The typed outcome of one exchange with the port. It travels inside the link so the
// command layer can tell a silent receiver from a broken cable; only the command layer
// turns it into the plain boolean or count that callers of TTERN see.
#pragma once

#include <cstdint>
#include <string_view>

namespace tern {

enum class LinkStatus : std::uint8_t {
  Ok,       // everything asked for was done
  Timeout,  // the deadline passed before the count was reached (the count says how far)
  IoError,  // the device or driver refused, or the device went away
  NotOpen,  // no device open
};

// A status with the number of bytes (or devices) it concerns.
struct Counted {
  LinkStatus status = LinkStatus::IoError;
  std::uint32_t count = 0;

  bool ok() const { return status == LinkStatus::Ok; }
};

constexpr std::string_view toString(LinkStatus s) {
  switch (s) {
    case LinkStatus::Ok:
      return "ok";
    case LinkStatus::Timeout:
      return "timeout";
    case LinkStatus::IoError:
      return "io error";
    case LinkStatus::NotOpen:
      return "not open";
  }
  return "unknown";
}

}  // namespace tern
