// Arbitrary bytes as every local data file the program reads at start: a schedule table, a
// NAVTEX list, the barometer store and the read-out marks. No file, however damaged, may make
// a reader go outside its input or allocate without bound; whatever a reader kept must be
// written back in the fixed layout and read again to the very same bytes.
//
// Input: one byte choosing the table's row count (1..40), then the file's bytes.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "fuzz_check.h"
#include "messages/data_files.h"
#include "messages/readout_marks.h"

namespace {

std::uint64_t next = 0;
const tern::SerialSource kSerials = [] { return ++next; };

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tern;
  if (size < 1) return 0;
  const int rows = data[0] % MessageTable::kMaxRows + 1;
  const ByteView file(data + 1, size - 1);

  MessageTable table(rows);
  LoadResult r = parseTable(file, table, kSerials);
  check(r != LoadResult::Missing);
  Bytes written = serializeTable(table);
  // An intact file is written back byte for byte; a damaged one keeps its whole records.
  if (r == LoadResult::Loaded) {
    check(written.size() <= file.size());
    check(std::equal(written.begin(), written.end(), file.begin()));
  }
  MessageTable again(rows);
  check(parseTable(written, again, kSerials) == LoadResult::Loaded);
  check(serializeTable(again) == written);

  NavtexList list;
  r = parseNavtex(file, list, kSerials);
  written = serializeNavtex(list);
  if (r == LoadResult::Loaded) check(Bytes(file.begin(), file.end()) == written);
  NavtexList listAgain;
  check(parseNavtex(written, listAgain, kSerials) == LoadResult::Loaded);
  check(serializeNavtex(listAgain) == written);

  static BaroStore baro;  // a quarter megabyte: made once
  r = parseBaro(file, baro);
  if (r == LoadResult::Loaded) {
    check(serializeBaro(baro) == Bytes(file.begin(), file.begin() + BaroStore::kFileSize));
  }

  ReadoutMarks marks;
  if (parseMarks(file, marks)) {
    check(serializeMarks(marks) == Bytes(file.begin(), file.end()));
  } else {
    check(marks == ReadoutMarks{});
  }
  return 0;
}
