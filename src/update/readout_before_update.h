// Reprogramming formats the receiver's message memory: whatever it recorded and the PC has
// not read yet would be gone. So every channel and the barometer are read out into the data
// files before the receiver is told to reprogram itself, with the same read-outs the polling
// thread runs, and the update goes on only when that worked (or the user, told what could
// not be read, wants it anyway).
#pragma once

#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "common/clock.h"
#include "link/ttern.h"
#include "messages/message_store.h"
#include "readout/navtex_appended.h"

namespace tern {

inline constexpr std::string_view kReadoutBeforeUpdateText = "Meldungen werden gelesen ...";

struct UpdateReadout {
  // What could not be read completely or written, in German ("FAX", "DWD", "NAVTEX",
  // "Barometer", "Datendateien"); empty when everything is in the data files.
  std::vector<std::string> failed;
  std::string writeFailure;  // the system's reason when the data files could not be written
  // The NAVTEX records the read-out appended: news the polling thread has not seen.
  std::vector<NavtexAppended> navtexAppended;
  bool complete() const { return failed.empty(); }
};

// Reads every channel and the barometer (each opening and closing the link itself) and
// writes every data file. Call it with the link to itself, before any page is written.
UpdateReadout ReadOutBeforeUpdate(TTERN& link, MessageStore& store, const Clock& clock,
                                  std::stop_token stop = {});

// The question after an incomplete read-out; the answer that keeps the messages is No.
std::string ReadoutFailedQuestion(const UpdateReadout& readout);

}  // namespace tern
