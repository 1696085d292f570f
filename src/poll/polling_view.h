// What the front end does for the polling thread. Every call runs inside a hand-over: in the
// window on the window thread while the polling thread waits, in tern-cli (DirectHandOver) on
// the thread that runs the pass. Texts are UTF-8.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "readout/navtex_appended.h"

namespace tern {

// Thread: the thread the hand-over runs its steps on (see above), only.
class PollingView {
 public:
  virtual ~PollingView() = default;
  // The receiver answered: presence text, reception-test entries enabled, the barograph
  // drawn as live, panel 0 emptied, the busy bar at rest. Not repeated while nothing else
  // was shown since, so quiet passes never wake the window.
  virtual void ShowConnected() = 0;
  // No receiver: status panels emptied, presence text, reception-test entries disabled.
  virtual void ShowDisconnected() = 0;
  // Right after ShowDisconnected when a receiver is attached but could not be opened: the
  // German text says why (no permission, another program has it) and replaces the presence
  // text.
  virtual void ShowAccessProblem(const std::string& text) { (void)text; }
  // Activity text for status panel 0.
  virtual void ShowStatus(const std::string& text) = 0;
  // The barometer samples were read; `pressure` (Pa above 100000 Pa) and `temperature`
  // (tenths of a degree Celsius) are the receiver's current readings.
  virtual void BaroLoaded(std::int16_t pressure, std::int16_t temperature) = 0;
  virtual void FaxLoaded() = 0;
  virtual void DwdLoaded() = 0;
  // A NAVTEX list changed. `appended`: the records the read-outs appended since the last
  // call that ran, in the store's order; the first call of a pass carries them all, so a
  // second changed list of the same pass brings none.
  virtual void NavtexLoaded(const std::vector<NavtexAppended>& appended) = 0;
  virtual void WarnClock() = 0;
  // A data file could not be written; the messages are kept and written again later.
  virtual void ShowWriteFailure(const std::string& detail) = 0;
  // The file writing of an export, run by the polling thread after the hand-over; returns
  // what failed, empty when everything was written.
  using ExportWork = std::function<std::string()>;
  // The automatic export after new data, when switched on. The window takes what only it
  // can give (the barograph picture, the slant values) and returns the writing, which the
  // polling thread runs before it goes on, so the tables stay as they were and the window
  // stays responsive; an empty result means the window did everything itself.
  virtual ExportWork ExportStep() = 0;
  // How the export went: empty when everything was written.
  virtual void ExportFinished(const std::string& failure) { (void)failure; }
  // A damaged message was drained and skipped by a read-out (told once per session).
  virtual void ShowSkippedRecords() {}
  // The PC's copy of a channel ("DWD", "FAX", "NAVTEX") was damaged (its data file or the
  // read-out marks), so its messages are read again to the end of the receiver's log (told
  // once per channel and session).
  virtual void ShowReadAgain(const std::string& channel) { (void)channel; }
};

}  // namespace tern
