// The read-outs: bring what the receiver recorded since the last read-out into the message
// store, age out old messages and rewrite the group's data files. They run on the polling
// thread; the store's lock is taken only around each change, never while waiting for the
// receiver, so the window stays free to read the tables meanwhile.
//
// Each returns false when the link failed before any record could be read or when a data
// file could not be written; what was stored stays stored either way. A stop request ends
// the record loop after the current record; what was read is still aged and written.
#pragma once

#include <stop_token>

#include "common/clock.h"
#include "messages/message_store.h"
#include "link/ttern.h"

namespace tern {

bool ReadFax(TTERN& link, MessageStore& store, const Clock& clock, bool autoOpen,
             std::stop_token stop = {});
bool ReadDwd(TTERN& link, MessageStore& store, const Clock& clock, bool autoOpen,
             std::stop_token stop = {});
bool ReadNavtex(TTERN& link, MessageStore& store, const Clock& clock, bool autoOpen,
                std::stop_token stop = {});
// Always opens and closes the link per page read.
bool ReadBarometer(TTERN& link, MessageStore& store, const Clock& clock);

}  // namespace tern
