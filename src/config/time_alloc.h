// The minute map of the day that all seven schedules share. A cell holds the frequency code
// of the selected entry that occupies the minute, or kFreeCell; since the schedules' code
// ranges do not overlap, a cell also tells which schedule holds it. This is what keeps two
// selected transmissions of different channels from overlapping in time.
#pragma once

#include <array>
#include <cstdint>

#include "config/schedule_table.h"

namespace tern {

// Thread: window thread only.
class TTimeAlloc {
 public:
  TTimeAlloc() { clear(); }
  void clear() { Cells.fill(kFreeCell); }

  // A cell index of 1440 or more stands for cell 0.
  std::uint8_t cell(int minute) const { return Cells[index(minute)]; }
  void setCell(int minute, std::uint8_t code) { Cells[index(minute)] = code; }

  // A span is the run of `duration` cells from `start`, wrapping from 1439 to 0.
  bool spanFree(int start, int duration) const;
  // True when every cell of the span holds a code in first..last.
  bool spanHeldBy(int start, int duration, int first, int last) const;
  void fill(int start, int duration, std::uint8_t code);

  std::array<std::uint8_t, kMinutesPerDay> Cells;

 private:
  static std::size_t index(int minute) {
    return minute >= 0 && minute < kMinutesPerDay ? static_cast<std::size_t>(minute) : 0;
  }
  static int wrap(int start, int k) { return (start + k) % kMinutesPerDay; }
};

}  // namespace tern
