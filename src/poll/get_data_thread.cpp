#include "poll/get_data_thread.h"

#include <cstdlib>

#include "readout/readouts.h"

namespace tern {

namespace {
const char* const kNoReceiver = "Kein Empfänger";
}

TGetDataThread::TGetDataThread(TTERN& link, MessageStore& store, Clock& clock,
                               HandOver& handOver, PollingView& view, PayloadSource payload,
                               bool autoExport)
    : link_(link),
      store_(store),
      clock_(clock),
      handOver_(handOver),
      view_(view),
      payload_(std::move(payload)) {
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

void TGetDataThread::SetAutoExport(bool on) {
  AutoExport = on;
  if (on) DataChanged = true;
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

void TGetDataThread::Run(std::stop_token stop) {
  while (!stop.stop_requested()) {
    std::chrono::milliseconds sleep = RunPass(stop);
    clock_.sleepFor(sleep, stop);
  }
}

bool TGetDataThread::hand(std::stop_token stop, const std::function<void()>& step) {
  return handOver_.run(step, stop);
}

void TGetDataThread::showConnected(std::stop_token stop) {
  std::string firmware, serial;
  link_.ReadFirmwareVersion(firmware, true);
  link_.ReadSerialNumber(serial, true);
  setIdentity(std::move(firmware), std::move(serial));
  hand(stop, [this] { view_.ShowConnected(); });
}

void TGetDataThread::showDisconnected(std::stop_token stop) {
  RequestFlags = kRequestDwd | kRequestFax | kRequestNavtex;
  FullBaroRequest = true;
  Busy = false;
  setIdentity(kNoReceiver, kNoReceiver);
  hand(stop, [this] { view_.ShowDisconnected(); });
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
  return std::llabs(secondsSinceEpoch(receiver) - secondsSinceEpoch(pcUtc)) >
         kClockToleranceSeconds;
}

void TGetDataThread::readGroup(std::stop_token stop, std::uint16_t request, const char* status,
                               const std::function<void()>& readOut,
                               std::initializer_list<int> channels, void (PollingView::*loaded)(),
                               bool onceForAll) {
  if ((RequestFlags.fetch_and(static_cast<std::uint16_t>(~request)) & request) == 0) return;
  busyStep(stop, status, readOut);
  bool any = false;
  for (int channel : channels) {
    if (store_.ChangedFlags[static_cast<std::size_t>(channel)].exchange(0) == 0) continue;
    any = true;
    if (!onceForAll) hand(stop, [this, loaded] { (view_.*loaded)(); });
  }
  if (any && onceForAll) hand(stop, [this, loaded] { (view_.*loaded)(); });
  if (any) DataChanged = true;
  reportWriteFailure(stop);
}

std::chrono::milliseconds TGetDataThread::RunPass(std::stop_token stop) {
  if (Paused) return kPausedSleep;
  if (!link_.IsReceiverPresent()) {
    showDisconnected(stop);
    return kPassSleep;
  }
  if (!link_.Ping(true) && !link_.Ping(true)) {
    showDisconnected(stop);
    return kPassSleep;
  }
  showConnected(stop);

  if (link_.ReadBaroNow(true) && (FullBaroRequest || link_.BaroChanged)) {
    link_.BaroChanged = 0;
    busyStep(stop, "Lade Barometer Daten ...", [this] { ReadBarometer(link_, store_, clock_); });
    const std::int16_t pressure = link_.Pressure;
    const std::int16_t temperature = link_.Temperature;
    hand(stop, [&] { view_.BaroLoaded(pressure, temperature); });
    FullBaroRequest = false;
  }

  std::uint16_t status = 0;
  if (link_.ReadStatus(status, true)) RequestFlags |= status;

  // Fax charts of all stations are shown by one rebuild; each DWD language and each NAVTEX
  // frequency is handed over on its own.
  readGroup(stop, kRequestFax, "Lade FAX Daten ...",
            [&] { ReadFax(link_, store_, clock_, true, stop); },
            {kChannelFaxDwd, kChannelFaxNorthwood, kChannelFaxHalifax, kChannelFaxBoston,
             kChannelFaxNewOrleans},
            &PollingView::FaxLoaded, true);
  readGroup(stop, kRequestDwd, "Lade DWD Daten ...",
            [&] { ReadDwd(link_, store_, clock_, true, stop); },
            {kChannelDwdGerman, kChannelDwdEnglish}, &PollingView::DwdLoaded, false);
  readGroup(stop, kRequestNavtex, "Lade NAVTEX Daten ...",
            [&] { ReadNavtex(link_, store_, clock_, true, stop); },
            {kChannelNavtex490, kChannelNavtex518}, &PollingView::NavtexLoaded, false);

  if ((RequestFlags.fetch_or(kClockChecked) & kClockChecked) == 0 && ClockIsOff()) {
    hand(stop, [this] { view_.WarnClock(); });
  }
  if (SetClockRequest) {
    busyStep(stop, "Zeit stellen ...", [this] { link_.SetClock(clock_.utcNow(), true); });
    SetClockRequest = false;
  }
  if (SendSettingsRequest) {
    Bytes block;
    hand(stop, [this, &block] { block = payload_ ? payload_() : Bytes{}; });
    if (!block.empty()) {
      busyStep(stop, "Sendeplan übertragen ...", [&] { link_.WriteSettings(block, true); });
    }
    SendSettingsRequest = false;
  }
  showConnected(stop);
  if (DataChanged) {
    if (AutoExport) hand(stop, [this] { view_.ExportStep(); });
    DataChanged = false;
  }
  return kPassSleep;
}

}  // namespace tern
