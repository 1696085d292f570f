// tern-cli dump: every record of a data folder's data files as JSON, with a SHA-256 of each
// message's data instead of the data itself, and the barometer store.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <string_view>

#include "cli/cli_args.h"
#include "cli/commands.h"
#include "common/error_text.h"
#include "common/folders.h"
#include "common/json_writer.h"
#include "common/latin1.h"
#include "common/sha256.h"
#include "config/schedule_table.h"
#include "link/transmitter_names.h"
#include "messages/message_store.h"

namespace tern::cli {

namespace {

// Standard output in a few large writes: the text is handed on whenever it has grown past
// this, so the same buffer, warm in the caches, is filled again instead of a new one as
// large as the whole dump.
constexpr std::size_t kOutputPiece = std::size_t{64} << 10;

// Thread: the command's own thread.
class Output {
 public:
  Output() { text_.reserve(2 * kOutputPiece); }
  std::string& text() { return text_; }
  void flushIfFull() {
    if (text_.size() >= kOutputPiece) flush();
  }
  // Writes what is left; the errno of a failed write, else 0.
  int finish() {
    flush();
    return error_;
  }

 private:
  void flush() {
    std::string_view rest = text_;
    while (error_ == 0 && !rest.empty()) {
      const ssize_t n = ::write(STDOUT_FILENO, rest.data(), rest.size());
      if (n >= 0)
        rest.remove_prefix(static_cast<std::size_t>(n));
      else if (errno != EINTR)
        error_ = errno;
    }
    text_.clear();
  }

  std::string text_;
  int error_ = 0;
};

// The record's members (the object may hold others before them).
void writeRecord(JsonWriter& json, std::string& text, const MessageRecord& r) {
  json.member("code", r.transmitterCode());
  json.member("transmitter", latin1ToUtf8(TransmitterName(r.transmitterCode())));
  json.member("length", r.dataLength());
  json.member("key", latin1ToUtf8(r.keyText()));
  text.clear();
  appendIsoLike(text, r.receptionTime());
  json.member("received", text);
  json.member("flag_byte", r.flagByte());
  json.member("new", r.newFlag);
  json.member("sha256", sha256Hex(r.data));
}

}  // namespace

int cmdDump(const Words& words) {
  Args args(words, {"--data-folder", "--program-folder"});
  if (int status = refuseOptions(args, {}, "dump")) return status;
  if (int status = refuseArguments(args)) return status;
  auto dataFolder = args.value("--data-folder");
  if (!dataFolder) return fail("dump braucht --data-folder ORDNER");
  const std::string data = withTrailingSlash(*dataFolder);
  if (!isDirectory(data)) return fail("Den Datenordner " + data + " gibt es nicht");
  const std::string program = programFolderOption(args);

  // Only looking: nothing in the folder is renamed, removed or written, and no lock is
  // taken, so a folder in use by the window can be dumped.
  MessageStore store(data, program, nullptr, MessageStore::Access::ReadOnly);
  Output out;
  {
    std::lock_guard lock(store.mutex());
    JsonWriter json(out.text());
    std::string text;
    json.beginObject();
    json.key("tables");
    json.beginArray();
    for (int t = 0; t < kTableCount; ++t) {
      json.beginObject();
      json.member("name", kSchedules[static_cast<std::size_t>(t)].caption);
      json.key("records");
      json.beginArray();
      for (int row = 0; row < store.table(t).rowCount(); ++row) {
        for (int slot = 0; slot < MessageTable::kSlots; ++slot) {
          const MessageRecord& r = store.table(t).slot(row, slot);
          if (r.isEmpty()) continue;
          json.beginObject();
          json.member("row", row);
          json.member("slot", slot);
          writeRecord(json, text, r);
          json.endObject();
          out.flushIfFull();
        }
      }
      json.endArray();
      json.endObject();
    }
    json.endArray();
    for (auto [which, name] : {std::pair{kNavtex518, "navtex_518"}, {kNavtex490, "navtex_490"}}) {
      json.key(name);
      json.beginArray();
      for (const MessageRecord& r : store.navtex(which).records()) {
        json.beginObject();
        writeRecord(json, text, r);
        json.endObject();
        out.flushIfFull();
      }
      json.endArray();
    }
    const BaroStore& baro = store.baro();
    json.key("barometer");
    json.beginObject();
    json.member("head", baro.head());
    json.member("count", baro.count());
    json.key("samples");
    json.beginArray();
    for (int i = 0; i < std::min<int>(baro.count(), BaroStore::kSampleCount); ++i) {
      json.beginObject();
      text.clear();
      appendIsoLike(text, baro.sampleTime(i));
      json.member("time", text);
      json.member("pa_above_100000", baro.pressure(i));
      json.endObject();
      out.flushIfFull();
    }
    json.endArray();
    json.endObject();
    json.endObject();
    out.text() += '\n';
  }
  if (const int error = out.finish())
    return fail("Die Ausgabe kann nicht geschrieben werden: " + systemErrorText(error), 1);
  return reportLoadProblems(store);
}

}  // namespace tern::cli
