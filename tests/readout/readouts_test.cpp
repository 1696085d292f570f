#include "readout/readouts.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "link/protocol.h"
#include "readout/readout_fixture.h"

namespace tern::testing {
namespace {

constexpr std::uint8_t kFax = 2, kDwd = 1, kNavtex = 0;

TEST_F(ReadoutTest, FourNewRecordsForOneRowKeepTheThreeNewest) {
  sim::Scenario s;
  for (double age : {4.0, 3.0, 2.0, 1.0}) s.logs[kFax].push_back(record(0, "ASXX40", age));
  open(std::move(s));
  ASSERT_TRUE(ReadFax(*link, *store, clock, true));
  EXPECT_EQ(keyAt(2, 0, 0), "ASXX40@13:20");
  EXPECT_EQ(keyAt(2, 0, 1), "ASXX40@12:20");
  EXPECT_EQ(keyAt(2, 0, 2), "ASXX40@11:20");
  EXPECT_EQ(store->ChangedFlags[kChannelFaxDwd], 1);
  EXPECT_EQ(store->ChangedFlags[tableChannel(kFirstFaxTable + 1)], 0);
  EXPECT_EQ(store->table(2).slot(0, 0).data, (Bytes{'t', 'e', 'x', 't'}));
}

TEST_F(ReadoutTest, ReadOutStopsAtTheFirstKnownRecord) {
  // The row holds R1 R2 R3; the receiver now has R3 R2 R1 R0 (oldest first).
  sim::Scenario s;
  for (double age : {4.0, 3.0, 2.0}) s.logs[kFax].push_back(record(0, "ASXX40", age));
  open(s);
  ASSERT_TRUE(ReadFax(*link, *store, clock, true));
  s.logs[kFax].push_back(record(0, "ASXX40", 1.0));
  open(s);
  store->ChangedFlags[kChannelFaxDwd] = 0;
  ASSERT_TRUE(ReadFax(*link, *store, clock, true));
  EXPECT_EQ(keyAt(2, 0, 0), "ASXX40@13:20");  // R0
  EXPECT_EQ(keyAt(2, 0, 1), "ASXX40@12:20");  // R1
  EXPECT_EQ(keyAt(2, 0, 2), "ASXX40@11:20");  // R2; R3 is gone
  EXPECT_EQ(store->ChangedFlags[kChannelFaxDwd], 1);
  // Only R0 and R1 were fetched: the loop stopped at R1.
  int nextRecords = 0;
  for (const Bytes& r : receiver->requests()) nextRecords += r.at(0) == 9;
  EXPECT_EQ(nextRecords, 2);
}

TEST_F(ReadoutTest, RecordsFindTheirTableAndRowOrAreSkipped) {
  sim::Scenario s;
  s.logs[kDwd].push_back(record(4, "SMVX43", 1.0, "ZCZC SMVX43 ... ="));  // "/" row
  s.logs[kDwd].push_back(record(7, "FQEN70", 1.0));                       // English
  s.logs[kDwd].push_back(record(4, "XXXX99", 1.0));                       // no row
  s.logs[kDwd].push_back(record(10, "FQEN70", 1.0));                      // NAVTEX code
  open(std::move(s));
  ASSERT_TRUE(ReadDwd(*link, *store, clock, true));
  int smvx = store->rowOf(0, "SMVX41");
  EXPECT_EQ(keyAt(0, smvx + 2, 0), "SMVX43@13:20");
  EXPECT_EQ(keyAt(1, store->rowOf(1, "FQEN70"), 0), "FQEN70@13:20");
  EXPECT_EQ(store->ChangedFlags[kChannelDwdGerman], 1);
  EXPECT_EQ(store->ChangedFlags[kChannelDwdEnglish], 1);
}

TEST_F(ReadoutTest, AgeingDropsOldSlotsAndTheFilesFollow) {
  sim::Scenario s;
  s.logs[kFax].push_back(record(0, "ASXX40", 4 * 24));
  s.logs[kFax].push_back(record(0, "ASXX40", 24));
  open(std::move(s));
  ASSERT_TRUE(ReadFax(*link, *store, clock, true));
  EXPECT_EQ(keyAt(2, 0, 1), "-");  // four days old: dropped at once
  EXPECT_NE(keyAt(2, 0, 0), "-");
  MessageStore reloaded(dataFolder(), programFolder(), nullptr);
  EXPECT_FALSE(reloaded.table(2).slot(0, 0).isEmpty());
  EXPECT_TRUE(reloaded.table(2).slot(0, 1).isEmpty());
}

TEST_F(ReadoutTest, OldNavtexRecordEndsTheReadOutAndNewRepeatsReplace) {
  sim::Scenario s;
  s.logs[kNavtex].push_back(record(9, "LA02", 2.0));        // delivered last
  s.logs[kNavtex].push_back(record(10, "SA01", 3 * 24.0));  // three days old
  s.logs[kNavtex].push_back(record(10, "SA03", 1.0));       // delivered first
  open(s);
  ASSERT_TRUE(ReadNavtex(*link, *store, clock, true));
  ASSERT_EQ(store->navtex(kNavtex518).records().size(), 1u);
  EXPECT_EQ(store->navtex(kNavtex518).records()[0].keyText(), "SA03");
  EXPECT_TRUE(store->navtex(kNavtex490).records().empty());

  // The same message sent again with a new time replaces the stored one.
  s.logs[kNavtex] = {record(10, "SA03", 0.5)};
  open(s);
  ASSERT_TRUE(ReadNavtex(*link, *store, clock, true));
  ASSERT_EQ(store->navtex(kNavtex518).records().size(), 1u);
  EXPECT_EQ(store->navtex(kNavtex518).records()[0].receptionTime().minute, 50);
}

TEST_F(ReadoutTest, CablePulledMidRecordKeepsWhatWasStored) {
  sim::Scenario s;
  s.logs[kFax].push_back(record(0, "ASXX40", 2.0, std::string(5000, 'x')));
  s.logs[kFax].push_back(record(0, "FSXX41", 1.0, "small"));
  open(s);
  ASSERT_TRUE(ReadFax(*link, *store, clock, true));
  ASSERT_FALSE(store->table(2).slot(1, 0).isEmpty());

  // A new, bigger chart arrives; the cable goes in the middle of its data.
  s.logs[kFax].push_back(record(0, "ASXX40", 0.5, std::string(8000, 'y')));
  s.faults.pullCableAfter = 3000;
  open(s);
  ReadFax(*link, *store, clock, true);
  EXPECT_EQ(keyAt(2, 0, 0), "ASXX40@12:20");  // the older chart is still there, whole
  EXPECT_EQ(store->table(2).slot(0, 0).data.size(), 5000u);
  EXPECT_FALSE(store->table(2).slot(1, 0).isEmpty());
}

TEST_F(ReadoutTest, BarometerRingOfAWeekFromTheNewestPageBack) {
  sim::Scenario s;
  for (int i = 0; i < 20000; ++i)
    s.baroPressures.push_back(static_cast<std::int16_t>(i % 3000 - 1500));
  s.baroHead = 20030;
  open(std::move(s));
  ASSERT_TRUE(ReadBarometer(*link, *store, clock));
  const BaroStore& baro = store->baro();
  EXPECT_EQ(baro.count(), 10814);
  EXPECT_EQ(baro.head(), 20030);
  for (int k : {0, 1, 63, 64, 5000, 10751, 10752, 10813}) {
    EXPECT_EQ(baro.pressure(k), static_cast<std::int16_t>((9186 + k) % 3000 - 1500)) << k;
  }
  EXPECT_EQ(baro.sampleTime(10813), (CivilTime{2026, 3, 5, 15, 20, 0, 0}));  // local now
  EXPECT_EQ(baro.sampleTime(10812), (CivilTime{2026, 3, 5, 15, 19, 0, 0}));
  // On disk at once, not only at the end: a power cut keeps what was read.
  BaroStore onDisk;
  ASSERT_EQ(loadBaroFile(dataFolder() + kBaroFileName, onDisk), LoadResult::Loaded);
  EXPECT_EQ(serializeBaro(onDisk), serializeBaro(baro));
}

TEST_F(ReadoutTest, AnInterruptedBarometerReadKeepsThePreviousRingAndInventsNoSample) {
  sim::Scenario s;
  for (int i = 0; i < 3000; ++i) s.baroPressures.push_back(static_cast<std::int16_t>(1200 + i % 7));
  open(std::move(s));
  ASSERT_TRUE(ReadBarometer(*link, *store, clock));
  const Bytes before = serializeBaro(store->baro());
  for (int i = 0; i < 300; ++i) receiver->addBaroSample(-1500);
  enum class Cut { Silence, HangUp, Stop };
  for (Cut cut : {Cut::Silence, Cut::HangUp, Cut::Stop}) {
    sim::SimFaults faults;
    if (cut == Cut::Silence) faults.silentFromRequest = 5;  // the block and four pages answer
    if (cut == Cut::HangUp) faults.hangUpAtRequest = 20;
    receiver->setPlugged(true);
    receiver->setFaults(faults);
    std::stop_source stop;
    if (cut == Cut::Stop) stop.request_stop();
    const std::int64_t started = secondsSinceEpoch(clock.utcNow());
    EXPECT_FALSE(ReadBarometer(*link, *store, clock, stop.get_token())) << int(cut);
    EXPECT_LE(secondsSinceEpoch(clock.utcNow()) - started, 1) << "one page timeout, not 40";
    EXPECT_TRUE(serializeBaro(store->baro()) == before) << int(cut) << ": the ring as it was";
  }
  receiver->setPlugged(true);
  receiver->setFaults({});
  ASSERT_TRUE(ReadBarometer(*link, *store, clock));
  EXPECT_EQ(store->baro().count(), 3300);
  for (int i = 0; i < store->baro().count(); ++i)
    ASSERT_EQ(store->baro().pressure(i), i < 3000 ? 1200 + i % 7 : -1500) << i;
}

TEST_F(ReadoutTest, NoReceiverMeansNothingChanges) {
  sim::Scenario s;
  s.faults.silent = true;
  s.logs[kFax].push_back(record(0, "ASXX40", 1.0));
  open(std::move(s));
  EXPECT_FALSE(ReadFax(*link, *store, clock, true));
  EXPECT_FALSE(ReadBarometer(*link, *store, clock));
  EXPECT_TRUE(store->table(2).slot(0, 0).isEmpty());
  EXPECT_EQ(store->baro().count(), 0);
}

}  // namespace
}  // namespace tern::testing

namespace tern::testing {
namespace {

TEST_F(ReadoutTest, GarbageAndOverlongRepliesEndTheReadOutAndKeepWhatWasStored) {
  sim::Scenario s;
  s.logs[kFax].push_back(record(0, "ASXX40", 2.0, "chart"));
  open(s);
  ASSERT_TRUE(ReadFax(*link, *store, clock, true));

  // A record announcing more than 1 MiB.
  s.logs[kFax].push_back(record(0, "ASXX40", 1.0, std::string(1048577, 'z')));
  open(s);
  ReadFax(*link, *store, clock, true);
  EXPECT_EQ(store->table(2).slot(0, 0).data, (Bytes{'c', 'h', 'a', 'r', 't'}));

  // Replies with a wrong echo.
  s.logs[kFax].back() = record(0, "ASXX40", 1.0, "new");
  s.faults.wrongEchoTo = protocol::kNextRecord;
  open(s);
  ReadFax(*link, *store, clock, true);
  EXPECT_EQ(store->table(2).slot(0, 0).data, (Bytes{'c', 'h', 'a', 'r', 't'}));
  EXPECT_TRUE(store->table(2).slot(0, 1).isEmpty());
}

}  // namespace
}  // namespace tern::testing

namespace tern::testing {
namespace {

TEST_F(ReadoutTest, OlderRepeatInTheSameReadOutDoesNotReplaceTheNewerMessage) {
  sim::Scenario s;
  s.logs[kNavtex].push_back(record(10, "SA01", 6.0, "first broadcast"));
  s.logs[kNavtex].push_back(record(10, "SA01", 2.0, "repeat"));  // delivered first
  open(s);
  ASSERT_TRUE(ReadNavtex(*link, *store, clock, true));
  ASSERT_EQ(store->navtex(kNavtex518).records().size(), 1u);
  const MessageRecord& kept = store->navtex(kNavtex518).records()[0];
  EXPECT_EQ(std::string(kept.data.begin(), kept.data.end()), "repeat");
}

}  // namespace
}  // namespace tern::testing

namespace tern::testing {
namespace {

// What a NAVTEX read-out reports as appended is exactly what it added to the store: no
// record the store refused as known, no older repeat it left out, none twice when a cut pass
// is read again, none lost across the cut.
TEST_F(ReadoutTest, ANavtexReadOutReportsExactlyTheRecordsItAppended) {
  struct Rec {
    std::uint8_t code;
    const char* key;
    double hoursAgo;
    const char* text;
  };
  struct Case {
    const char* name;
    std::vector<Rec> stored;                // read out before, as the store holds it at the start
    std::vector<Rec> added;                 // recorded since, oldest first
    int hangUpAt;                           // 0: no cut; else the request the receiver hangs up at
    std::vector<std::string> first, again;  // reported by the pass and by one more pass
  };
  const Case cases[] = {
      {"new on both lists, in the store's order",
       {},
       {{10, "SA01", 3, "a"}, {9, "LA02", 2, "b"}, {10, "SB03", 1, "c"}},
       0,
       {"518 SB03 c", "518 SA01 a", "490 LA02 b"},
       {}},
      {"stored ones are known",
       {{10, "SA01", 3, "a"}, {9, "LA02", 2, "b"}},
       {{10, "SB03", 1, "c"}},
       0,
       {"518 SB03 c"},
       {}},
      {"a repeat replaces the stored copy",
       {{10, "SA01", 3, "a"}},
       {{10, "SA01", 1, "repeat"}},
       0,
       {"518 SA01 repeat"},
       {}},
      {"an older repeat in the same read-out is left out",
       {},
       {{10, "SA01", 6, "first"}, {10, "SA01", 2, "repeat"}},
       0,
       {"518 SA01 repeat"},
       {}},
      {"a record too old ends the read-out",
       {},
       {{10, "SA01", 3 * 24, "old"}, {10, "SA03", 1, "new"}},
       0,
       {"518 SA03 new"},
       {}},
      {"a cut pass and the one after it",
       {{10, "SA01", 9, "a"}},
       {{10, "SB02", 4, "b"}, {9, "LC03", 3, "c"}, {10, "SD04", 2, "d"}, {10, "SE05", 1, "e"}},
       3,  // two records arrive whole before the cut
       {"518 SE05 e", "518 SD04 d"},
       {"518 SB02 b", "490 LC03 c"}},
  };
  auto describe = [](const std::vector<NavtexAppended>& appended) {
    std::vector<std::string> out;
    for (const NavtexAppended& a : appended)
      out.push_back(std::string(navtexFrequency(a.which).name) + " " + a.record.keyText() + " " +
                    std::string(a.record.data.begin(), a.record.data.end()));
    return out;
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    store.reset();
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path()))
      std::filesystem::remove_all(entry.path());
    sim::Scenario s;
    for (const Rec& r : c.stored)
      s.logs[kNavtex].push_back(record(r.code, r.key, r.hoursAgo, r.text));
    open(s);
    ASSERT_TRUE(ReadNavtex(*link, *store, clock, true));
    for (const Rec& r : c.added)
      receiver->addRecord(kNavtex, record(r.code, r.key, r.hoursAgo, r.text));
    if (c.hangUpAt > 0) {
      sim::SimFaults faults;
      faults.hangUpAtRequest = static_cast<std::uint64_t>(c.hangUpAt);
      receiver->setFaults(faults);
    }
    ReadoutReport report;
    ReadNavtex(*link, *store, clock, true, {}, &report);
    EXPECT_EQ(describe(report.appended), c.first);
    EXPECT_EQ(report.finished, c.hangUpAt == 0);
    receiver->setFaults({});
    receiver->setPlugged(true);
    ASSERT_TRUE(ReadNavtex(*link, *store, clock, true, {}, &report));
    EXPECT_EQ(describe(report.appended), c.again);
    // Every record reported carries the serial the store gave it.
    for (const NavtexAppended& a : report.appended)
      EXPECT_NE(store->navtex(a.which).find(a.record.serial), nullptr);
  }
}

}  // namespace
}  // namespace tern::testing
