// The block structure of the broadcast schedule files. Three parts of the program read
// these files (the receiver link for its identifier lists, the fax store for its station
// trees, the selection model for its entries); they all go through this one reader, so a
// damaged file yields the same rows everywhere and the message tables, the fax trees and
// the selection trees never disagree about which row is which.
//
// File format: text, one item per line, every line trimmed of leading and trailing blanks
// and control characters (so LF and CR LF files read alike). Blocks follow each other:
//   identifier (its first six characters are the block's identifier)
//   title
//   two lines that nothing interprets
//   duration "HH:MM"
//   one start time "HH:MM" (UTC) per line, one or more
//   "#"
//
// Damaged files are read as far as they make sense and every fault is recorded:
// - a block that the end of the file cuts off (no closing "#") is still a block: it is kept
//   with the lines it has, so a file that merely lost its last "#" loses nothing;
// - a block with fewer than five lines before its start times keeps what it has; missing
//   lines read as empty (a missing duration is 00:00) and it has no start times;
// - a "#" with nothing before it (two "#" in a row, or "#" first) is no block and is skipped;
// - blank lines after the last block are ignored.
// Each user decides how to tell the user about the faults.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "common/bytes.h"

namespace tern {

// Files beyond this size are refused as unreadable: real schedules are a few kilobytes.
inline constexpr std::size_t kMaxScheduleFileBytes = 1024 * 1024;

struct ScheduleBlock {
  int firstLine = 0;         // 1-based line number of the identifier line
  std::string identifier;    // the whole identifier line, Latin-1 bytes as in the file
  std::string title;         // the title line
  std::string durationText;  // the duration line ("" when the block is too short)
  std::vector<std::string> startTimes;
  bool closed = true;  // false: the file ended inside this block
};

enum class ScheduleFaultKind {
  Unclosed,    // the file ends inside a block (no closing "#")
  ShortBlock,  // fewer than five lines before the start times
  EmptyBlock,  // a "#" with no block before it
};

struct ScheduleFault {
  int line = 0;  // 1-based line where the faulty block starts (or the stray "#")
  ScheduleFaultKind kind = ScheduleFaultKind::Unclosed;
};

struct ScheduleFile {
  bool readable = false;  // false: the file could not be read; no blocks
  std::string readError;  // why not, when not readable
  std::vector<ScheduleBlock> blocks;
  std::vector<ScheduleFault> faults;
};

// Splits text into lines at LF and trims each (blanks and control characters <= 0x20 at both
// ends). A last line without LF counts; a final LF does not start another line.
std::vector<std::string> scheduleLines(ByteView text);

// Reads the block structure of a file's bytes. Always succeeds (readable is true).
ScheduleFile parseScheduleText(ByteView text);

// Reads a schedule file from disk (at most kMaxScheduleFileBytes).
ScheduleFile readScheduleFile(const std::string& path);

// Minutes of a time text "HH:MM": hours from characters 1-2, minutes from characters 4-5,
// each an optionally signed decimal number. Anything else reads as 0 (00:00). The result is
// not reduced to one day: "-1:30" gives -30, "25:00" gives 1500.
int timeTextMinutes(std::string_view text);

// The identifier texts of a file as the receiver link keys its message rows: identifier
// line + " " + title line per block; a block whose identifier has "/" as its sixth character
// stands for eight identifiers with "1" to "8" in its place. Latin-1, in file order, not
// limited in number (the link keeps as many rows as it has).
std::vector<std::string> scheduleIdentifiers(const ScheduleFile& file);

// The fax store's entry list: the identifier's first six characters + " " + the title line,
// one per block, without "/" expansion.
std::vector<std::string> scheduleEntryTexts(const ScheduleFile& file);

// A German line describing a fault for the user, e.g. "Zeile 12: Block ohne \"#\" am Ende".
std::string describeScheduleFault(const ScheduleFault& fault);

}  // namespace tern
