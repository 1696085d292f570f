#include "poll/get_data_thread.h"

#include <cctype>
#include <cstdlib>
#include <iterator>
#include <utility>

namespace tern {

namespace {
const char* const kNoReceiver = "Kein Empfänger";
}

std::string channelCaption(const std::string& name) {
  std::string caption = name;
  for (char& c : caption) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return caption;
}

TGetDataThread::TGetDataThread(TTERN& link, MessageStore& store, Clock& clock, HandOver& handOver,
                               PollingView& view, Bytes scheduleBlock, bool autoExport)
    : link_(link),
      store_(store),
      clock_(clock),
      handOver_(handOver),
      view_(view),
      scheduleBlock_(std::move(scheduleBlock)) {
  AutoExport = autoExport;
}

TGetDataThread::~TGetDataThread() { Stop(); }

void TGetDataThread::Start() {
  if (!thread_.joinable()) thread_ = std::jthread([this](std::stop_token stop) { Run(stop); });
}

void TGetDataThread::Stop() {
  if (!thread_.joinable()) return;
  thread_.request_stop();
  thread_.join();
}

void TGetDataThread::SetAutoExport(bool on, bool exportNow) {
  AutoExport = on;
  if (on && exportNow) DataChanged = true;
}

void TGetDataThread::PushSettings(Bytes scheduleBlock) {
  {
    std::lock_guard lock(textMutex_);
    scheduleBlock_ = std::move(scheduleBlock);
  }
  SetClockRequest = true;
  SendSettingsRequest = true;
  FullBaroRequest = true;
}

Bytes TGetDataThread::ScheduleBlock() const {
  std::lock_guard lock(textMutex_);
  return scheduleBlock_;
}

std::string TGetDataThread::FirmwareText() const {
  std::lock_guard lock(textMutex_);
  return firmwareText_;
}

std::string TGetDataThread::SerialText() const {
  std::lock_guard lock(textMutex_);
  return serialText_;
}

void TGetDataThread::setIdentity(std::string firmware, std::string serial) {
  std::lock_guard lock(textMutex_);
  firmwareText_ = std::move(firmware);
  serialText_ = std::move(serial);
}

void TGetDataThread::KeepUnannounced(std::vector<NavtexAppended> appended) {
  unannounced_.insert(unannounced_.end(), std::make_move_iterator(appended.begin()),
                      std::make_move_iterator(appended.end()));
  // Records kept from before may have been replaced or aged out since; the rest in the
  // store's order, as one look at the lists would have found them.
  keepStillStored(store_, unannounced_);
}

std::vector<NavtexAppended> TGetDataThread::TakeUnannounced() {
  return std::exchange(unannounced_, {});
}

void TGetDataThread::Run(std::stop_token stop) {
  if (bulletinWork_) bulletinWork_();
  while (!stop.stop_requested()) {
    std::chrono::milliseconds sleep = RunPass(stop);
    clock_.sleepFor(sleep, stop);
  }
}

bool TGetDataThread::hand(std::stop_token stop, const std::function<void()>& step) {
  connectedShown_ = false;
  return handOver_.run(step, stop);
}

void TGetDataThread::showConnected(std::stop_token stop) {
  // A read that fails (a cut right after the ping) keeps what an earlier one of this
  // connection found, rather than blanking it.
  std::string firmware = FirmwareText(), serial = SerialText();
  if (firmware == kNoReceiver) firmware.clear();
  if (serial == kNoReceiver) serial.clear();
  link_.ReadFirmwareVersion(firmware, true);
  link_.ReadSerialNumber(serial, true);
  setIdentity(std::move(firmware), std::move(serial));
  if (connectedShown_) return;
  connectedShown_ = hand(stop, [this] { view_.ShowConnected(); });
}

void TGetDataThread::showDisconnected(std::stop_token stop, std::string accessProblem) {
  RequestFlags = kRequestDwd | kRequestFax | kRequestNavtex;
  FullBaroRequest = true;
  Busy = false;
  setIdentity(kNoReceiver, kNoReceiver);
  LastPass.accessProblem = accessProblem;
  hand(stop, [this, &accessProblem] {
    view_.ShowDisconnected();
    if (!accessProblem.empty()) view_.ShowAccessProblem(accessProblem);
  });
}

void TGetDataThread::busyStep(std::stop_token stop, const char* status,
                              const std::function<void()>& work) {
  Busy = true;
  std::string text = status;
  hand(stop, [this, &text] { view_.ShowStatus(text); });
  work();
  Busy = false;
}

void TGetDataThread::reportWriteFailure(std::stop_token stop) {
  std::string failure = store_.takeWriteFailure();
  if (!failure.empty()) hand(stop, [this, &failure] { view_.ShowWriteFailure(failure); });
}

bool TGetDataThread::ClockIsOff() {
  CivilTime pcUtc = clock_.utcNow();
  CivilTime receiver;
  bool valid = false;
  if (!link_.ReadClock(receiver, valid, true)) return false;
  // ReadClock puts the PC's local time in place of fields that form no date; on a PC that
  // runs on UTC that would look right, so the fields decide.
  if (!link_.ClockFieldsValid) return true;
  return std::llabs(secondsSinceEpoch(receiver) - secondsSinceEpoch(pcUtc)) >
         kClockToleranceSeconds;
}

bool TGetDataThread::readGroup(std::stop_token stop, std::uint16_t request, const char* name,
                               const char* status,
                               const std::function<bool(ReadoutReport&)>& readOut,
                               std::span<const int> channels, const std::function<void()>& loaded,
                               bool onceForAll) {
  if ((RequestFlags.fetch_and(static_cast<std::uint16_t>(~request)) & request) == 0) return false;
  ReadoutReport report;
  busyStep(stop, status, [&] { readOut(report); });
  // What the pass did not get is asked for again at the next one. A receiver that lost its
  // place was asked again within the pass; the cut is still told.
  if (!report.finished) RequestFlags |= request;
  if (!report.finished || report.placeLost > 0) LastPass.interrupted.push_back(name);
  if (report.readAll) {
    LastPass.readAgain.push_back(name);
    if ((readAgainShown_ & request) == 0) {
      readAgainShown_ |= request;
      const std::string channel = channelCaption(name);
      hand(stop, [this, &channel] { view_.ShowReadAgain(channel); });
    }
  }
  LastPass.skippedRecords += report.skipped;
  bool any = false;
  for (int channel : channels) {
    if (store_.ChangedFlags[static_cast<std::size_t>(channel)].exchange(0) == 0) continue;
    any = true;
    if (!onceForAll) hand(stop, loaded);
  }
  if (any && onceForAll) hand(stop, loaded);
  if (any) DataChanged = true;
  if (report.skipped > 0 && !skippedShown_) {
    skippedShown_ = true;
    hand(stop, [this] { view_.ShowSkippedRecords(); });
  }
  reportWriteFailure(stop);
  return any;
}

std::chrono::milliseconds TGetDataThread::RunPass(std::stop_token stop) {
  LastPass = {};
  if (Paused) return kPausedSleep;
  if (!link_.IsReceiverPresent()) {
    showDisconnected(stop);
    return kPassSleep;
  }
  if (!link_.Ping(true) && !link_.Ping(true)) {
    // Present but silent: often a device node this user may not open, or another program
    // holding it; the user is told which instead of "no receiver".
    showDisconnected(stop, link_.AccessProblemText());
    return kPassSleep;
  }
  LastPass.connected = true;
  showConnected(stop);

  // The request is taken before the read, so one pushed meanwhile is not lost; a read that
  // fails puts it back for the next pass.
  bool fullRead = false;
  if (link_.ReadBaroNow(true) &&
      ((fullRead = FullBaroRequest.exchange(false)) || link_.BaroChanged)) {
    link_.BaroChanged = 0;
    bool read = false;
    busyStep(stop, "Lade Barometer Daten ...",
             [&] { read = ReadBarometer(link_, store_, clock_, stop); });
    const std::int16_t pressure = link_.Pressure;
    const std::int16_t temperature = link_.Temperature;
    if (read) hand(stop, [&] { view_.BaroLoaded(pressure, temperature); });
    if (!read) {
      // The samples not read are asked for again at the next pass.
      if (fullRead) FullBaroRequest = true;
      link_.BaroChanged = 1;
      LastPass.barometerFailed = true;
    }
  }
  if (stop.stop_requested()) return kPassSleep;

  std::uint16_t status = 0;
  if (link_.ReadStatus(status, true)) RequestFlags |= status & kReadRequests;

  // Fax charts of all stations are shown by one rebuild; each DWD language and each NAVTEX
  // frequency is handed over on its own.
  readGroup(
      stop, kRequestFax, "fax", "Lade FAX Daten ...",
      [&](ReadoutReport& r) { return ReadFax(link_, store_, clock_, true, stop, &r); },
      std::span(kTableChannel).subspan(kFirstFaxTable), [this] { view_.FaxLoaded(); }, true);
  if (stop.stop_requested()) return kPassSleep;
  const bool newBulletins = readGroup(
      stop, kRequestDwd, "dwd", "Lade DWD Daten ...",
      [&](ReadoutReport& r) { return ReadDwd(link_, store_, clock_, true, stop, &r); },
      std::span(kTableChannel).first(kFirstFaxTable), [this] { view_.DwdLoaded(); }, false);
  if (newBulletins && bulletinWork_) bulletinWork_();
  if (stop.stop_requested()) return kPassSleep;
  // The records appended go with the first NAVTEX hand-over that runs; one dropped by a stop
  // leaves them for the next (PollingOwner carries them over to a fresh thread).
  readGroup(
      stop, kRequestNavtex, "navtex", "Lade NAVTEX Daten ...",
      [&](ReadoutReport& r) {
        const bool read = ReadNavtex(link_, store_, clock_, true, stop, &r);
        KeepUnannounced(std::move(r.appended));
        return read;
      },
      kNavtexChannels,
      [this] {
        view_.NavtexLoaded(unannounced_);
        unannounced_.clear();
      },
      false);
  if (stop.stop_requested()) return kPassSleep;

  if ((RequestFlags.fetch_or(kClockChecked) & kClockChecked) == 0 && ClockIsOff()) {
    hand(stop, [this] { view_.WarnClock(); });
  }
  // The clock and the schedule block stay requested until their step went through, so a
  // pass cut short does not lose them for the rest of the session. Each request is taken
  // before its step, so one pushed during the step is not lost either.
  if (!stop.stop_requested() && SetClockRequest.exchange(false)) {
    bool set = false;
    busyStep(stop, "Zeit stellen ...", [&] { set = link_.SetClock(clock_.utcNow(), true); });
    if (!set) {
      SetClockRequest = true;
      LastPass.clockSetFailed = true;
    }
  }
  if (!stop.stop_requested() && SendSettingsRequest.exchange(false)) {
    const Bytes block = ScheduleBlock();
    bool sent = block.empty();  // nothing to send is done at once
    if (!block.empty()) {
      busyStep(stop, "Sendeplan übertragen ...", [&] { sent = link_.WriteSettings(block, true); });
    }
    if (!sent) {
      SendSettingsRequest = true;
      LastPass.settingsFailed = true;
    }
  }
  if (stop.stop_requested()) return kPassSleep;
  showConnected(stop);
  if (DataChanged.exchange(false) && AutoExport) {
    PollingView::ExportWork work;
    if (hand(stop, [this, &work] { work = view_.ExportStep(); }) && work) {
      Busy = true;
      std::string failure = work();
      Busy = false;
      hand(stop, [this, &failure] { view_.ExportFinished(failure); });
    }
  }
  return kPassSleep;
}

}  // namespace tern
