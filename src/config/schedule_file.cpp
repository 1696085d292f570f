#include "config/schedule_file.h"

#include "common/file_io.h"

namespace tern {

namespace {

bool isBlank(unsigned char c) { return c <= 0x20; }

std::string trimmed(ByteView line) {
  std::size_t begin = 0;
  std::size_t end = line.size();
  while (begin < end && isBlank(line[begin])) ++begin;
  while (end > begin && isBlank(line[end - 1])) --end;
  return std::string(line.begin() + static_cast<std::ptrdiff_t>(begin),
                     line.begin() + static_cast<std::ptrdiff_t>(end));
}

// A two-character field of a time text: an optionally signed decimal number ("06", "6 " is
// not one, "-1" is). False when the characters do not form a number.
bool twoCharNumber(std::string_view field, int& value) {
  std::size_t i = 0;
  bool negative = false;
  if (field[0] == '+' || field[0] == '-') {
    negative = field[0] == '-';
    i = 1;
  }
  if (i == field.size()) return false;
  int v = 0;
  for (; i < field.size(); ++i) {
    if (field[i] < '0' || field[i] > '9') return false;
    v = v * 10 + (field[i] - '0');
  }
  value = negative ? -v : v;
  return true;
}

}  // namespace

std::vector<std::string> scheduleLines(ByteView text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') {
      lines.push_back(trimmed(text.subspan(start, i - start)));
      start = i + 1;
    }
  }
  if (start < text.size()) lines.push_back(trimmed(text.subspan(start)));
  return lines;
}

ScheduleFile parseScheduleText(ByteView text) {
  ScheduleFile file;
  file.readable = true;
  const std::vector<std::string> lines = scheduleLines(text);

  // Blank lines after the last block are no block of their own.
  std::size_t count = lines.size();
  while (count > 0 && lines[count - 1].empty()) --count;

  std::size_t i = 0;
  while (i < count) {
    const std::size_t first = i;
    while (i < count && lines[i] != "#") ++i;
    const bool closed = i < count;
    const std::size_t size = i - first;  // lines before "#"
    const int lineNo = static_cast<int>(first) + 1;
    if (closed) ++i;  // step over "#"

    if (size == 0) {
      file.faults.push_back({lineNo, ScheduleFaultKind::EmptyBlock});
      continue;
    }
    ScheduleBlock block;
    block.firstLine = lineNo;
    block.closed = closed;
    block.identifier = lines[first];
    if (size > 1) block.title = lines[first + 1];
    if (size > 4) block.durationText = lines[first + 4];
    for (std::size_t k = 5; k < size; ++k) block.startTimes.push_back(lines[first + k]);
    if (size < 5) file.faults.push_back({lineNo, ScheduleFaultKind::ShortBlock});
    if (!closed) file.faults.push_back({lineNo, ScheduleFaultKind::Unclosed});
    file.blocks.push_back(std::move(block));
  }
  return file;
}

ScheduleFile readScheduleFile(const std::string& path) {
  FileData data = readWholeFile(path, kMaxScheduleFileBytes);
  if (!data.status) {
    ScheduleFile file;
    file.readError = data.status.message;
    return file;
  }
  return parseScheduleText(data.bytes);
}

int timeTextMinutes(std::string_view text) {
  if (text.size() < 5) return 0;
  int hours = 0;
  int minutes = 0;
  if (!twoCharNumber(text.substr(0, 2), hours) || !twoCharNumber(text.substr(3, 2), minutes))
    return 0;
  return hours * 60 + minutes;
}

std::vector<std::string> scheduleIdentifiers(const ScheduleFile& file) {
  std::vector<std::string> ids;
  for (const ScheduleBlock& block : file.blocks) {
    if (block.identifier.size() >= 6 && block.identifier[5] == '/') {
      for (char digit = '1'; digit <= '8'; ++digit) {
        std::string id = block.identifier;
        id[5] = digit;
        ids.push_back(id + " " + block.title);
      }
    } else {
      ids.push_back(block.identifier + " " + block.title);
    }
  }
  return ids;
}

std::vector<std::string> scheduleEntryTexts(const ScheduleFile& file) {
  std::vector<std::string> entries;
  entries.reserve(file.blocks.size());
  for (const ScheduleBlock& block : file.blocks)
    entries.push_back(block.identifier.substr(0, 6) + " " + block.title);
  return entries;
}

std::string describeScheduleFault(const ScheduleFault& fault) {
  std::string where = "Zeile " + std::to_string(fault.line) + ": ";
  switch (fault.kind) {
    case ScheduleFaultKind::Unclosed:
      return where + "Block ohne \"#\" am Ende";
    case ScheduleFaultKind::ShortBlock:
      return where + "Block mit weniger als f\xC3\xBCnf Zeilen vor den Startzeiten";
    case ScheduleFaultKind::EmptyBlock:
      return where + "\"#\" ohne Block";
  }
  return where;
}

}  // namespace tern
