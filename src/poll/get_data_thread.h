// TGetDataThread: the program's one worker thread. Once a second it looks for the receiver,
// reads the barometer and the status word, runs the read-outs the receiver asks for, checks
// and sets the receiver clock, sends the schedule block when asked, and hands every change
// to the window through the hand-over seam.
//
// All exchanges with the receiver happen on this thread, the clock setting and the schedule
// transfer included, so the window never waits for the USB link; the window gets only the
// results.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "common/bytes.h"
#include "common/clock.h"
#include "link/ttern.h"
#include "messages/message_store.h"
#include "poll/hand_over.h"
#include "poll/polling_view.h"
#include "readout/readouts.h"

namespace tern {

// The caption of a read-out group named in PassReport ("fax" -> "FAX"), for texts.
std::string channelCaption(const std::string& name);

// Thread: Start/Stop and the request setters on the window thread; the loop on its own
// thread. Flags are atomic; the identity texts are guarded by a mutex.
class TGetDataThread {
 public:
  static constexpr std::uint16_t kRequestDwd = 0x01;
  static constexpr std::uint16_t kRequestFax = 0x02;
  static constexpr std::uint16_t kRequestNavtex = 0x04;
  static constexpr std::uint16_t kClockChecked = 0x100;
  // The request bits the receiver's status word may set; its other bits mean nothing here.
  static constexpr std::uint16_t kReadRequests = kRequestDwd | kRequestFax | kRequestNavtex;
  static constexpr std::chrono::milliseconds kPassSleep{1000};
  static constexpr std::chrono::milliseconds kPausedSleep{100};
  static constexpr int kClockToleranceSeconds = 10;

  // `scheduleBlock` is sent at the first connection (a new thread sends it once).
  TGetDataThread(TTERN& link, MessageStore& store, Clock& clock, HandOver& handOver,
                 PollingView& view, Bytes scheduleBlock, bool autoExport = false);
  ~TGetDataThread();  // stops and joins
  TGetDataThread(const TGetDataThread&) = delete;
  TGetDataThread& operator=(const TGetDataThread&) = delete;

  void Start();
  // Requests the stop and waits until the loop has ended.
  void Stop();
  bool running() const { return thread_.joinable(); }
  std::thread::id ThreadId() const { return thread_.get_id(); }

  // AutoExport on or off; switching on with `exportNow` also requests one export run (a
  // cancel in the configuration dialog only puts the stored setting back).
  void SetAutoExport(bool on, bool exportNow = true);
  // The configuration dialog's save: the new schedule block, sent with the clock setting and
  // followed by a full barometer read in the next pass with a receiver.
  void PushSettings(Bytes scheduleBlock);
  // The block the next transfer sends.
  Bytes ScheduleBlock() const;
  // Work the thread does once before its first pass and after every read-out that changed
  // the DWD bulletins (the session decodes the SYNOP reports there, ahead of the page).
  // Set before Start().
  void SetBulletinWork(std::function<void()> work) { bulletinWork_ = std::move(work); }
  // One pass of the loop; returns how long the loop then sleeps. Public for tests, which
  // drive passes one by one without the thread.
  std::chrono::milliseconds RunPass(std::stop_token stop = {});
  // True when the receiver clock differs from the PC's UTC time by more than 10 s, or when
  // its fields form no valid date at all (a clock that lost its power).
  bool ClockIsOff();

  // What the last pass left undone, for callers that report it (tern-cli readout). The
  // clock, schedule and barometer requests stay set after a failed step and are carried
  // out at the next connected pass; an interrupted read-out asks for its channel again.
  struct PassReport {
    bool connected = false;
    std::string accessProblem;             // why an attached receiver could not be opened (German)
    std::vector<std::string> interrupted;  // "fax", "dwd", "navtex"
    // Channels whose copy on the PC was damaged and which were read to the end of the log.
    std::vector<std::string> readAgain;
    bool barometerFailed = false;
    bool clockSetFailed = false;
    bool settingsFailed = false;
    int skippedRecords = 0;
  };
  // Thread: written by the pass; read after RunPass returned or once the thread ended.
  PassReport LastPass;

  // NAVTEX records appended and not yet handed over with a NavtexLoaded that ran: a stop can
  // drop that hand-over, and the next thread must still announce them. Keep: before Start()
  // (and by the pass itself); Take: once the thread ended.
  void KeepUnannounced(std::vector<NavtexAppended> appended);
  std::vector<NavtexAppended> TakeUnannounced();

  std::string FirmwareText() const;
  std::string SerialText() const;

  std::atomic<bool> Busy{false};
  std::atomic<bool> Paused{false};
  std::atomic<std::uint16_t> RequestFlags{kRequestDwd | kRequestFax | kRequestNavtex};
  std::atomic<bool> SetClockRequest{true};
  std::atomic<bool> SendSettingsRequest{true};
  std::atomic<bool> DataChanged{false};
  std::atomic<bool> FullBaroRequest{true};
  std::atomic<bool> AutoExport{false};

 private:
  void Run(std::stop_token stop);
  bool hand(std::stop_token stop, const std::function<void()>& step);
  void showConnected(std::stop_token stop);
  // `accessProblem`: why an attached receiver could not be opened, empty when not known.
  void showDisconnected(std::stop_token stop, std::string accessProblem = {});
  // Runs a step with Busy set and its status text in panel 0.
  void busyStep(std::stop_token stop, const char* status, const std::function<void()>& work);
  void reportWriteFailure(std::stop_token stop);
  // One read-out group: when its request bit is set, runs the read-out and hands the
  // changed channels over (once for all of them, or once per channel). True when a channel
  // changed.
  bool readGroup(std::stop_token stop, std::uint16_t request, const char* name, const char* status,
                 const std::function<bool(ReadoutReport&)>& readOut, std::span<const int> channels,
                 const std::function<void()>& loaded, bool onceForAll);
  void setIdentity(std::string firmware, std::string serial);

  TTERN& link_;
  MessageStore& store_;
  Clock& clock_;
  HandOver& handOver_;
  PollingView& view_;
  std::function<void()> bulletinWork_;
  mutable std::mutex textMutex_;  // also guards scheduleBlock_
  Bytes scheduleBlock_;
  std::string firmwareText_;
  std::string serialText_;
  bool skippedShown_ = false;         // the damaged-record notice is shown once per thread
  std::uint16_t readAgainShown_ = 0;  // request bits of the channels told to be read again
  // Written by the pass, and by the NAVTEX step while the pass waits for it.
  std::vector<NavtexAppended> unannounced_;
  // ShowConnected went over and nothing else since: a quiet pass leaves the window asleep.
  bool connectedShown_ = false;
  std::jthread thread_;
};

}  // namespace tern
