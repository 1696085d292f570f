// tern-cli dump: every record of a data folder's data files as JSON, with a SHA-256 of each
// message's data instead of the data itself, and the barometer store. With --text each
// bulletin and NAVTEX message also carries its text as the window shows it, in UTF-8.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/cli_args.h"
#include "cli/commands.h"
#include "common/error_text.h"
#include "common/json_writer.h"
#include "common/latin1.h"
#include "common/sha256.h"
#include "config/schedule_table.h"
#include "link/transmitter_names.h"
#include "messages/data_files.h"
#include "messages/message_store.h"
#include "presenters/dwd_store.h"

namespace tern::cli {

namespace {

// Standard output in a few large writes: the text is handed on whenever it has grown past
// this, so the writer's buffer, warm in the caches, is filled again instead of one as large
// as the whole dump.
constexpr std::size_t kOutputPiece = std::size_t{64} << 10;

// Thread: the command's own thread.
class Output {
 public:
  // A piece and the most one record or sample adds past it: the buffer never grows.
  Output() { json_.reserve(kOutputPiece + (std::size_t{16} << 10)); }
  JsonWriter& json() { return json_; }
  void flushIfFull() {
    if (json().text().size() >= kOutputPiece) flush();
  }
  // Ends the document's line and writes what is left; the errno of a failed write, else 0.
  int finish() {
    json().raw("\n");
    flush();
    return error_;
  }

 private:
  void flush() {
    std::string_view rest = json().text();
    while (error_ == 0 && !rest.empty()) {
      const ssize_t n = ::write(STDOUT_FILENO, rest.data(), rest.size());
      if (n >= 0)
        rest.remove_prefix(static_cast<std::size_t>(n));
      else if (errno != EINTR)
        error_ = errno;
    }
    json().dropText();
  }

  JsonWriter json_;
  int error_ = 0;
};

// The record's members (the object may hold others before them).
void writeRecord(JsonWriter& json, std::string& text, const MessageRecord& r, ByteView data) {
  json.member("code", r.transmitterCode());
  json.member("transmitter", latin1ToUtf8(TransmitterName(r.transmitterCode())));
  json.member("length", r.dataLength());
  json.member("key", latin1ToUtf8(r.keyText()));
  text.clear();
  appendIsoLike(text, r.receptionTime());
  json.member("received", text);
  json.member("flag_byte", r.flagByte());
  json.member("new", r.newFlag);
  json.member("sha256", sha256Hex(data));
}

// The data files are walked where they lie in one read buffer, never copied into a store:
// what the window would load from them is what is printed, record by record, and only the
// barometer file is held whole.
// Thread: the command's own thread.
class Dumper {
 public:
  // One buffer for every file, the barometer's the largest of them, so it is touched once.
  Dumper(std::string folder, Output& out, bool withText)
      : folder_(std::move(folder)), out_(out), withText_(withText) {
    buffer_.reserve(BaroStore::kFileSize);
  }

  void tables() {
    json().key("tables");
    json().beginArray();
    for (int t = 0; t < kTableCount; ++t) {
      json().beginObject();
      json().member("name", kSchedules[static_cast<std::size_t>(t)].caption);
      json().key("records");
      json().beginArray();
      const auto rows =
          static_cast<std::size_t>(kSchedules[static_cast<std::size_t>(t)].identifierCount);
      constexpr auto kSlots = static_cast<std::size_t>(MessageTable::kSlots);
      const TextOf text = !withText_ || t >= kFirstFaxTable ? TextOf::None : TextOf::Bulletin;
      records(tableFileName(t), rows * kSlots, text, [&](std::size_t i) {
        json().member("row", static_cast<int>(i / kSlots));
        json().member("slot", static_cast<int>(i % kSlots));
      });
      json().endArray();
      json().endObject();
    }
    json().endArray();
  }

  void navtex() {
    for (int which = 0; which < kNavtexCount; ++which) {
      json().key(std::string("navtex_") + navtexFrequency(which).name);
      json().beginArray();
      records(navtexFileName(which), std::nullopt, withText_ ? TextOf::Navtex : TextOf::None,
              [](std::size_t) {});
      json().endArray();
    }
  }

  void barometer() {
    BaroRingView ring;
    load(kBaroFileName, [&](LoadOptions options) {
      options.buffer = &buffer_;
      return visitBaroFile(
          folder_ + kBaroFileName,
          [&](ByteView samples, ByteView block) {
            ring = {samples, block};
          },
          options);
    });
    json().key("barometer");
    json().beginObject();
    json().member("head", ring.head());
    json().member("count", ring.count());
    json().key("samples");
    json().beginArray();
    for (int i = 0; i < std::min<int>(ring.count(), BaroStore::kSampleCount); ++i) {
      json().beginObject();
      text_.clear();
      appendIsoLike(text_, ring.sampleTime(i));
      json().member("time", text_);
      json().member("pa_above_100000", ring.pressure(i));
      json().endObject();
      out_.flushIfFull();
    }
    json().endArray();
    json().endObject();
  }

  // The readout marks are not printed, but a damaged or unreadable marks file is reported
  // like any data file.
  void marks() {
    ReadoutMarks marks;
    load(kReadoutMarksFileName, [&](LoadOptions options) {
      return loadMarksFile(folder_ + kReadoutMarksFileName, marks, options);
    });
  }

  JsonWriter& json() { return out_.json(); }
  const std::vector<MessageStore::LoadProblem>& problems() const { return problems_; }

 private:
  // Only looking: a damaged file is left where it is.
  template <typename Load>
  void load(const char* name, Load loadWith) {
    std::string reason;
    const LoadResult result = loadWith(LoadOptions{false, &reason, nullptr});
    if (result == LoadResult::Unreadable || result == LoadResult::Damaged)
      problems_.push_back({folder_ + name, result, std::move(reason)});
  }

  // Which of the window's text pages a record's text is shown on, if any.
  enum class TextOf { None, Bulletin, Navtex };

  // The text as that page shows it; the record is copied only for it.
  void text(TextOf kind, const MessageRecord& header, ByteView data) {
    record_.header = header.header;
    record_.data.assign(data.begin(), data.end());
    json().member("text", shownText(kind == TextOf::Bulletin ? TDWDStore::BulletinLines(record_)
                                                             : record_.textLines()));
  }

  template <typename Place>
  void records(const char* name, std::optional<std::size_t> count, TextOf textOf, Place place) {
    load(name, [&](LoadOptions options) {
      options.buffer = &buffer_;
      return visitRecordFile(
          folder_ + name, count,
          [&](std::size_t i, const MessageRecord& r, ByteView data) {
            if (r.isEmpty() && count) return;  // an empty slot of a table
            json().beginObject();
            place(i);
            writeRecord(json(), text_, r, data);
            if (textOf != TextOf::None) text(textOf, r, data);
            json().endObject();
            out_.flushIfFull();
          },
          options);
    });
  }

  std::string folder_;
  Output& out_;
  bool withText_;
  MessageRecord record_;  // the record whose text is written, its data reused
  Bytes buffer_;
  std::string text_;
  std::vector<MessageStore::LoadProblem> problems_;
};

}  // namespace

int cmdDump(const Words& words) {
  Args args(words, {"--data-folder", "--program-folder"});
  if (int status = refuseOptions(args, {"--text"}, "dump")) return status;
  if (int status = refuseArguments(args)) return status;
  if (!args.value("--data-folder")) return fail("dump braucht --data-folder ORDNER");
  // Only looking: nothing in the folder is renamed, removed or written, and no lock is
  // taken, so a folder in use by the window can be dumped. The data files are walked here,
  // so the session opens nothing.
  const ReadOnlySession session(sessionOptionsOf(args), nullptr);
  if (int status = requireDataFolder(session, 2)) return status;
  Output out;
  Dumper dumper(session.DataFolder(), out, args.flag("--text"));
  dumper.json().beginObject();
  dumper.tables();
  dumper.navtex();
  dumper.barometer();
  dumper.marks();
  dumper.json().endObject();
  if (const int error = out.finish())
    return fail("Die Ausgabe kann nicht geschrieben werden: " + systemErrorText(error), 1);
  return reportLoadProblems(dumper.problems());
}

}  // namespace tern::cli
