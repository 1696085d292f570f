// TTERN, the receiver link object: one per process. It owns the connection to the receiver
// and speaks every receiver command; it knows nothing of the messages it carries (the message
// model, the read-outs and the local data files live in the layers above). The connection
// itself lives in LinkConnection, the commands in the ttern_*.cpp files, so each piece stays
// small.
//
// Every command takes `autoOpen` last: true opens the link before and closes it after the
// command (a command that succeeded fails when that close fails); false leaves the link to
// the caller for a longer exchange. Commands return true only when the whole exchange
// matched; they never throw and never show messages.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <stop_token>
#include <string>

#include "common/bytes.h"
#include "common/clock.h"
#include "link/link_connection.h"
#include "link/port.h"
#include "link/protocol.h"

namespace tern {

// Thread: one thread at a time (see LinkConnection). The polling thread uses it in its
// loop; the window thread only while the polling thread is stopped or waits in a hand-over.
class TTERN {
 public:
  // `port` is the backend (see assembly/port_factory.h); `clock` serves every wait of the
  // commands, so tests never sleep for real. The clock must outlive the object.
  TTERN(std::unique_ptr<Port> port, Clock& clock);
  virtual ~TTERN();
  TTERN(const TTERN&) = delete;
  TTERN& operator=(const TTERN&) = delete;

  // --- Connection -------------------------------------------------------------------
  std::uint32_t Handle() const { return link_.Handle(); }
  std::uint32_t ReadTimeout() const { return link_.ReadTimeout(); }
  std::uint32_t WriteTimeout() const { return link_.WriteTimeout(); }
  std::span<std::uint8_t> TxBuffer() { return link_.TxBuffer(); }
  std::span<const std::uint8_t> RxBuffer() const { return link_.RxBuffer(); }

  bool IsReceiverPresent() { return link_.IsReceiverPresent(); }
  bool OpenLink() { return link_.OpenLink(); }
  bool CloseLink() { return link_.CloseLink(); }
  std::uint32_t SendBytes(std::uint32_t count) { return link_.SendBytes(count); }
  std::uint32_t ReceiveBytes(std::uint32_t count) { return link_.ReceiveBytes(count); }
  std::uint32_t QueuedBytes() { return link_.QueuedBytes(); }
  void SetReadTimeout(std::uint32_t ms) { link_.SetReadTimeout(ms); }
  // How the last transfer ended (timeout, io error, ...), for diagnostics only.
  LinkStatus LastLinkStatus() const { return link_.lastStatus(); }
  // After a receiver was found but could not be opened: why (no permission, another program
  // has it), and the German text that says so (empty when nothing is known).
  AccessProblem FindAccessProblem() { return link_.accessProblem(); }
  std::string AccessProblemText() { return accessProblemText(FindAccessProblem()); }

  // --- Receiver commands --------------------------------------------------------------
  // [1,0] -> [1,0] within 500 ms.
  bool Ping(bool autoOpen);
  // Receiver clock (UTC). Fields that form no valid date give the PC's local time and
  // success; `clockValid` is the receiver's own validity byte.
  bool ReadClock(CivilTime& time, bool& clockValid, bool autoOpen);
  // Sets the receiver clock to `utc` (seconds truncated); no reply is awaited. Refuses a
  // time that is invalid or outside the years 2000..2255 the receiver can hold.
  bool SetClock(const CivilTime& utc, bool autoOpen);
  // 0 NAVTEX, 1 DWD bulletins, 2 fax: the receiver streams that channel from its newest.
  bool SelectChannel(std::uint8_t channel, bool autoOpen);
  // Next record of the selected channel into RecordHeader and RxBuffer (RecordData()).
  // Fails at the end of the channel ([9,1,0]).
  bool NextRecord(bool autoOpen);
  // How a record request ended, for read-outs that must tell a damaged record from a lost
  // link: Damaged means the header arrived but the receiver then sent less data than it
  // announced (the read timed out), more than the buffer takes, or more than it announced
  // (bytes still waiting after the data); what it did send was drained until the line fell
  // quiet, so the next request meets the next record.
  // With a `stop` that can be requested, the data are read in short pieces and a stop
  // request ends the wait at once (Failed), so a shutdown never waits out a long record.
  enum class RecordResult { Record, End, Damaged, Failed };
  RecordResult FetchRecord(bool autoOpen, std::stop_token stop = {});
  // Writes `data` (at most 528 bytes) to a page; page 7 and pages above 8191 are refused.
  bool WritePage(std::uint32_t page, ByteView data, bool autoOpen);
  // Reads buffer.size() bytes (at most 528) of a page into `buffer`.
  bool ReadPage(std::uint32_t page, std::span<std::uint8_t> buffer, bool autoOpen);
  // Tells the receiver to reprogram itself from the images in its pages. `unlock` is the
  // sequence the firmware in the receiver expects (it comes with the images).
  bool StartProgramming(const protocol::UnlockSequence& unlock, bool autoOpen);
  // Texts of at most 12 characters; a failed exchange leaves `text` unchanged.
  bool ReadSerialNumber(std::string& text, bool autoOpen);
  bool ReadFirmwareVersion(std::string& text, bool autoOpen);
  bool ReadStatus(std::uint16_t& word, bool autoOpen);
  // The barometer status block (the program asks for 520 bytes).
  bool ReadBaroPage(std::span<std::uint8_t> buffer, bool autoOpen);
  // Fills Pressure and Temperature; sets BaroChanged when the receiver has a new sample.
  bool ReadBaroNow(bool autoOpen);
  bool StartReceiveTest(std::uint8_t code, bool autoOpen);
  bool StopReceiveTest(bool autoOpen);
  // One byte of the reception-test stream when one is waiting; fails without reading else.
  bool ReadStreamByte(std::uint8_t& byte, bool autoOpen);
  // Stores the schedule block (2000..2028 bytes) in pages 0..3 and verifies it by reading
  // it back. Closes the link on any failure, whatever `autoOpen` says.
  bool WriteSettings(ByteView block, bool autoOpen);

  // The message data of the record NextRecord delivered last (valid until the next receive).
  // Empty when the last NextRecord failed.
  ByteView RecordData() const;

  // --- Receiver status values ---------------------------------------------------------
  // Polling thread only.
  std::int16_t Pressure = 0;     // Pa above 100000 Pa
  std::int16_t Temperature = 0;  // tenths of a degree Celsius
  std::uint8_t BaroChanged = 1;  // set by ReadBaroNow (and at start); cleared by the poller
  // Whether the fields of the last clock reply formed a valid date and time; when they did
  // not, ReadClock delivered the PC's local time in their place.
  bool ClockFieldsValid = true;
  std::array<std::uint8_t, protocol::kRecordHeaderSize> RecordHeader{};

 private:
  // Runs `exchange` inside the AutoOpen convention.
  template <class Exchange>
  bool withLink(bool autoOpen, Exchange&& exchange);
  // Writes [code, payload...] from TxBuffer's start and sends it.
  bool sendFrame(std::uint8_t code, ByteView payload);
  // Receives exactly `count` bytes; true only when all arrived.
  bool receiveExactly(std::uint32_t count);
  // Receives two bytes and checks them against [code, length].
  bool expectHead(std::uint8_t code, std::uint8_t length);
  bool readIdentityText(std::uint8_t code, std::string& text, bool autoOpen);
  bool exchangeAck(std::uint8_t code, ByteView payload, bool autoOpen);
  // Reads and drops up to `count` bytes of a record's data that cannot be kept; stops at
  // the first read that comes back short.
  void drainRecordData(std::uint32_t count);
  // Receives a record's data in pieces until all arrived, the record timeout passed or a
  // stop was requested.
  LinkStatus receiveRecordData(std::uint32_t length, std::stop_token stop);
  // Reads and drops everything that arrives until nothing has come for a moment.
  void drainUntilQuiet();
  std::int64_t msNow() const;

  LinkConnection link_;
  Clock& clock_;
  std::uint32_t recordDataLength_ = 0;  // data of the last successful NextRecord
};

template <class Exchange>
bool TTERN::withLink(bool autoOpen, Exchange&& exchange) {
  if (autoOpen && !link_.OpenLink()) return false;
  bool ok = exchange();
  if (autoOpen) ok = link_.CloseLink() && ok;
  return ok;
}

}  // namespace tern
