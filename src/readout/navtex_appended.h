// The NAVTEX records a read-out appended to the store, as the read-out itself reports them.
// Whoever announces new messages (alerts, the boat network, the service's log) takes them
// from here instead of comparing the store with what it saw before: only the read-out knows
// which records were new, which it refused as known and which of them are still stored.
#pragma once

#include <vector>

#include "messages/message_record.h"
#include "messages/message_store.h"

namespace tern {

// Thread: plain value.
struct NavtexAppended {
  int which = 0;  // the NAVTEX list (index into kNavtexFrequencies)
  MessageRecord record;
};

// Drops the records `store` no longer holds (aged out, replaced by a repeat, dropped with a
// reload) and orders the rest as the store does: list by list, each in arrival order.
// Takes the store's lock.
void keepStillStored(const MessageStore& store, std::vector<NavtexAppended>& appended);

}  // namespace tern
