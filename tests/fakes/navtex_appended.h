// A NAVTEX message put into the store as a read-out would append it, with the report the
// read-out would give for it: for tests that feed the news without a receiver.
#pragma once

#include <mutex>
#include <string>

#include "messages/message_store.h"
#include "readout/navtex_appended.h"

namespace tern::testing {

inline NavtexAppended appendNavtex(MessageStore& store, int which, const std::string& key,
                                   const std::string& text, const CivilTime& received) {
  std::lock_guard lock(store.mutex());
  NavtexList& list = store.navtex(which);
  list.append(makeHeader(navtexFrequency(which).code, static_cast<std::uint32_t>(text.size()), key,
                         received),
              ByteView(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
              store.nextSerial());
  return {which, list.records().back()};
}

}  // namespace tern::testing
