// One whole polling pass through libftdi1: every record of the receiver's log stored once;
// a receiver unplugged in the middle of a record is reported and nothing is lost on the next
// pass.
#include <set>

#include "fakes/recording_sink.h"
#include "fakes/recording_view.h"
#include "ftdi/ftdi_fixture.h"
#include "messages/channels.h"
#include "messages/message_store.h"
#include "poll/get_data_thread.h"

namespace tern::testing {
namespace {

class FtdiReadout : public FtdiDouble {
 protected:
  FtdiReadout() : store(data.slash(), std::string(TERN_ASSETS_DIR) + "/", &sink) {}

  // A record `hoursAgo` hours old of `size` bytes, keyed to the n-th schedule row its own
  // key finds (NAVTEX records have keys of their own).
  sim::SimRecord record(std::uint8_t code, int n, int hoursAgo, std::size_t size) {
    sim::SimRecord r;
    r.code = code;
    const int table = tableOfCode(code);
    if (table < 0) {
      r.key = "ZA" + std::to_string(10 + n);
    } else {
      for (int row = 0; row < store.table(table).rowCount(); ++row) {
        std::string key = store.identifiers(table)[static_cast<std::size_t>(row)].substr(0, 6);
        if (!key.empty() && store.rowOf(table, key) == row && n-- == 0) r.key = key;
      }
    }
    r.received = civilFromSeconds(secondsSinceEpoch(clock.utcNow()) - hoursAgo * 3600);
    r.data = Bytes(size, static_cast<std::uint8_t>('a' + hoursAgo % 26));
    return r;
  }
  static std::string identity(const std::string& key, const CivilTime& t) {
    return key + "@" + formatIsoLike(t);
  }
  // Every record the store holds, by key and reception time.
  std::multiset<std::string> stored() {
    std::multiset<std::string> out;
    std::lock_guard lock(store.mutex());
    for (int t = 0; t < kTableCount; ++t)
      for (int row = 0; row < store.table(t).rowCount(); ++row)
        for (int s = 0; s < MessageTable::kSlots; ++s) {
          const MessageRecord& r = store.table(t).slot(row, s);
          if (!r.isEmpty()) out.insert(identity(r.keyText(), r.receptionTime()));
        }
    for (int which : {kNavtex518, kNavtex490})
      for (const MessageRecord& r : store.navtex(which).records())
        out.insert(identity(r.keyText(), r.receptionTime()));
    return out;
  }
  TGetDataThread::PassReport pass(TGetDataThread& thread) {
    std::stop_source stop;  // as the polling thread has: record data come in pieces
    thread.RunPass(stop.get_token());
    return thread.LastPass;
  }

  ScratchFolder data{"tern_ftdi_data"};
  RecordingSink sink;
  MessageStore store;
  DirectHandOver handOver;
  RecordingView view;
};

TEST_F(FtdiReadout, EveryRecordIsStoredOnceAndAnUnplugMidRecordLosesNothing) {
  sim::Scenario s;
  s.statusWord = 0x07;
  std::multiset<std::string> expected;
  auto add = [&](int channel, sim::SimRecord r) {
    expected.insert(identity(r.key, r.received));
    s.logs[static_cast<std::size_t>(channel)].push_back(std::move(r));
  };
  // Oldest first; the fax chart of 40000 bytes is read first and cut in its middle.
  add(2, record(0, 0, 30, 40000));
  add(2, record(11, 0, 20, 3000));
  add(1, record(4, 0, 12, 2500));
  add(1, record(4, 1, 11, 700));
  add(1, record(7, 0, 10, 1200));
  add(0, record(10, 0, 9, 300));
  add(0, record(9, 1, 8, 400));
  usbdouble::Device cut = fastLine();
  cut.vanishAfter = 20000;
  cut.onVanish = [this] { receiver->setPlugged(false); };
  plug(cut, s);

  auto l = link();
  TGetDataThread thread(*l, store, clock, handOver, view, Bytes(2001, 0));
  thread.SetClockRequest = false;
  thread.SendSettingsRequest = false;
  TGetDataThread::PassReport first = pass(thread);
  EXPECT_TRUE(first.connected);
  ASSERT_FALSE(first.interrupted.empty()) << "the unplug is reported";
  EXPECT_EQ(first.interrupted.front(), "fax");
  EXPECT_EQ(stored().count(identity(s.logs[2][0].key, s.logs[2][0].received)), 0u);

  receiver->setPlugged(true);
  plug(fastLine());
  TGetDataThread::PassReport second = pass(thread);
  EXPECT_TRUE(second.connected);
  EXPECT_TRUE(second.interrupted.empty());
  EXPECT_EQ(second.skippedRecords, 0);
  EXPECT_EQ(stored(), expected);
  // Nothing new: a third pass leaves every record where it is, none twice.
  receiver->setStatusWord(0x07);
  pass(thread);
  EXPECT_EQ(stored(), expected);
}

}  // namespace
}  // namespace tern::testing
