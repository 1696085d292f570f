// Builders of message records for the tests of tables, lists and data files.
#pragma once

#include <string>

#include "messages/message_record.h"

namespace tern::testing {

inline MessageRecord::Header header(std::uint8_t code, const std::string& key, CivilTime utc,
                                    std::uint32_t length = 0) {
  return makeHeader(code, length, key, utc);
}

inline Bytes textBytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

}  // namespace tern::testing
