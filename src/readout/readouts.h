// The read-outs: bring what the receiver recorded since the last read-out into the message
// store, age out old messages and rewrite the group's data files. They run on the polling
// thread; the store's lock is taken only around each change, never while waiting for the
// receiver, so the window stays free to read the tables meanwhile.
//
// Each returns false when the link failed before any record could be read or when a data
// file could not be written; what was stored stays stored either way. A stop request ends
// the record loop after the current record; what was read is still aged and written.
//
// A pass that does not reach its natural end (the end of the receiver's log, or a record it
// already holds) leaves a mark in the store's read-out marks with the last record it got;
// the next pass of that channel then goes past the records it holds down to that one before
// a known record may end it, so the records behind a cut are read after all. A finished pass
// clears the mark. A record whose data do not arrive as announced is drained and skipped.
// An end of the log right behind such a record finishes nothing: the channel is selected
// again and read down past the last whole record. A channel whose copy on the PC was damaged
// is read to the end of the receiver's log once.
#pragma once

#include <stop_token>
#include <vector>

#include "common/clock.h"
#include "link/ttern.h"
#include "messages/message_store.h"
#include "readout/navtex_appended.h"

namespace tern {

// What one read-out pass did, for callers that report it.
struct ReadoutReport {
  bool finished = false;  // reached the end of the log or a known record
  int skipped = 0;        // damaged records drained and left out
  // Times the receiver lost its place behind a damaged record (the channel was selected
  // again): the pass counts as interrupted even when it then read everything.
  int placeLost = 0;
  bool readAll = false;  // the copy on the PC was damaged: read to the end of the log
  // ReadNavtex: the records this pass appended that are still stored at its end, in the
  // store's order (a known record or an older repeat is not among them). Empty for the
  // others.
  std::vector<NavtexAppended> appended;
};

bool ReadFax(TTERN& link, MessageStore& store, const Clock& clock, bool autoOpen,
             std::stop_token stop = {}, ReadoutReport* report = nullptr);
bool ReadDwd(TTERN& link, MessageStore& store, const Clock& clock, bool autoOpen,
             std::stop_token stop = {}, ReadoutReport* report = nullptr);
bool ReadNavtex(TTERN& link, MessageStore& store, const Clock& clock, bool autoOpen,
                std::stop_token stop = {}, ReadoutReport* report = nullptr);
// Always opens and closes the link per page read. A page that fails ends the read-out (a
// receiver that fell silent is not asked for the other pages), and so does a stop request;
// the store then keeps the previous ring untouched, never one with pages missing. False
// when the ring was not replaced.
bool ReadBarometer(TTERN& link, MessageStore& store, const Clock& clock, std::stop_token stop = {});

}  // namespace tern
