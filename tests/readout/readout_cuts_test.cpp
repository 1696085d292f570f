// Read-outs cut short at every point of a channel's record loop: after the cut and one more
// complete read-out, every record the receiver holds is stored exactly once, also when the
// program starts anew between the two; damaged records are skipped and what lies behind them
// is stored.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include "link/protocol.h"
#include "readout/readout_fixture.h"
#include "readout/readouts.h"

namespace tern::testing {
namespace {

namespace p = protocol;

enum class Cut { HangUp, Silence, CableMidRecord };

struct ChannelCase {
  const char* name;
  std::uint8_t channel;
  std::uint8_t code;  // transmitter code of every record
};

void PrintTo(const ChannelCase& c, std::ostream* os) { *os << c.name; }

const ChannelCase kChannels[] = {
    {"DWD", p::kGroupDwd, 4}, {"fax", p::kGroupFax, 0}, {"NAVTEX", p::kGroupNavtex, 10}};

class ReadoutCutTest : public ReadoutTest {
 protected:
  bool readChannel(std::uint8_t channel, ReadoutReport* report = nullptr) {
    if (channel == p::kGroupDwd) return ReadDwd(*link, *store, clock, true, {}, report);
    if (channel == p::kGroupFax) return ReadFax(*link, *store, clock, true, {}, report);
    return ReadNavtex(*link, *store, clock, true, {}, report);
  }

  // `count` records of one channel, oldest first, one hour apart and ending an hour ago;
  // schedule records go two to a row, so the rows' counters and slots take part.
  std::vector<sim::SimRecord> records(const ChannelCase& c, int count, int first) {
    std::vector<sim::SimRecord> out;
    const int table = tableOfCode(c.code);
    // Rows that their own key finds (several identifiers may share their first six letters).
    std::vector<std::string> keys;
    for (int row = 0; table >= 0 && row < store->table(table).rowCount(); ++row) {
      std::string key = store->identifiers(table)[static_cast<std::size_t>(row)].substr(0, 6);
      if (!key.empty() && store->rowOf(table, key) == row) keys.push_back(key);
    }
    for (int i = 0; i < count; ++i) {
      const int n = first + i;
      std::string key =
          table >= 0 ? keys.at(static_cast<std::size_t>(n / 2)) : "ZA" + std::to_string(10 + n);
      out.push_back(record(c.code, key, 40.0 - n, "message " + std::to_string(n)));
    }
    return out;
  }

  // Every record of the store's tables or lists for this channel, as header bytes.
  std::multiset<Bytes> storedHeaders(const ChannelCase& c) {
    std::multiset<Bytes> out;
    std::lock_guard lock(store->mutex());
    const int table = tableOfCode(c.code);
    if (table < 0) {
      for (int which : {kNavtex518, kNavtex490})
        for (const MessageRecord& r : store->navtex(which).records())
          out.emplace(r.header.begin(), r.header.end());
      return out;
    }
    for (int row = 0; row < store->table(table).rowCount(); ++row)
      for (int s = 0; s < MessageTable::kSlots; ++s) {
        const MessageRecord& r = store->table(table).slot(row, s);
        if (!r.isEmpty()) out.emplace(r.header.begin(), r.header.end());
      }
    return out;
  }

  void restart() {
    link.reset();
    store.reset();
    store = std::make_unique<MessageStore>(dataFolder(), programFolder(), &sink);
    link = std::make_unique<TTERN>(std::make_unique<sim::SimPort>(receiver), clock);
  }

  void emptyDataFolder() {
    link.reset();
    store.reset();
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path()))
      std::filesystem::remove_all(entry.path());
  }
};

class ReadoutCutTestChannel : public ReadoutCutTest,
                              public ::testing::WithParamInterface<ChannelCase> {};

TEST_P(ReadoutCutTestChannel, EveryCutPointLosesNothing) {
  constexpr int kOld = 6, kNew = 19;  // 25 records, as the receiver's log in the field
  int cases = 0;
  const ChannelCase& c = GetParam();
  {
    for (Cut cut : {Cut::HangUp, Cut::Silence, Cut::CableMidRecord}) {
      for (bool restartBetween : {false, true}) {
        for (int at = 0; at < kNew; ++at) {
          const std::string where = std::string(c.name) + " cut " + std::to_string(int(cut)) +
                                    " at " + std::to_string(at) +
                                    (restartBetween ? " with restart" : "");
          emptyDataFolder();
          open();
          sim::Scenario s;
          const auto initial = records(c, kOld, 0);
          s.logs[c.channel] = initial;
          receiver = std::make_shared<sim::SimReceiver>(s, clock);
          link = std::make_unique<TTERN>(std::make_unique<sim::SimPort>(receiver), clock);
          ASSERT_TRUE(readChannel(c.channel)) << where;
          auto fresh = records(c, kNew, kOld);
          for (const auto& r : fresh) receiver->addRecord(c.channel, r);

          // The newest records come first: `at` of them arrive whole before the cut.
          sim::SimFaults faults;
          if (cut == Cut::HangUp) faults.hangUpAtRequest = 1 + at;
          if (cut == Cut::Silence) faults.silentFromRequest = 1 + at;
          if (cut == Cut::CableMidRecord) {
            std::uint64_t bytes = 2;  // the channel's acknowledgement
            for (int k = 0; k < at; ++k)
              bytes += 3 + 26 + fresh[static_cast<std::size_t>(kNew - 1 - k)].data.size();
            faults.pullCableAfter = bytes + 3 + 26 + 3;
          }
          receiver->setFaults(faults);
          ReadoutReport report;
          std::multiset<Bytes> reported;  // what the two passes reported as appended
          auto noteReported = [&] {
            for (const NavtexAppended& a : report.appended)
              reported.emplace(a.record.header.begin(), a.record.header.end());
          };
          readChannel(c.channel, &report);
          EXPECT_FALSE(report.finished) << where;
          noteReported();

          receiver->setFaults({});
          receiver->setPlugged(true);
          if (restartBetween) restart();
          ASSERT_TRUE(readChannel(c.channel, &report)) << where;
          EXPECT_TRUE(report.finished) << where;
          noteReported();

          std::multiset<Bytes> expected;
          for (const auto& r : initial) expected.insert(sim::recordHeader(r));
          for (const auto& r : fresh) expected.insert(sim::recordHeader(r));
          const std::multiset<Bytes> stored = storedHeaders(c);
          ASSERT_EQ(stored.size(), expected.size()) << where;
          ASSERT_TRUE(stored == expected) << where;
          // The news of the two passes: every new NAVTEX record once, none of the old ones.
          std::multiset<Bytes> news;
          if (tableOfCode(c.code) < 0)
            for (const auto& r : fresh) news.insert(sim::recordHeader(r));
          EXPECT_TRUE(reported == news) << where;
          EXPECT_FALSE(store->marks().stoodAt[c.channel]) << where << ": a finished pass clears";
          ++cases;
        }
      }
    }
  }
  EXPECT_EQ(cases, 3 * 2 * kNew);
}

// Faults inside one record: the receiver cuts its reply and then has lost its place, or the
// header announces fewer bytes than the record has. One pass stores every other record once.
TEST_P(ReadoutCutTestChannel, ARecordCutOrMisannouncedLosesNothingElse) {
  constexpr int kOld = 4, kNew = 8;
  const ChannelCase& c = GetParam();
  enum class Fault { CutLosingPlace, AnnouncesTen, AnnouncesZero };
  for (Fault fault : {Fault::CutLosingPlace, Fault::AnnouncesTen, Fault::AnnouncesZero}) {
    for (int at = 0; at < kNew; ++at) {
      const std::string where = std::string(c.name) + " fault " + std::to_string(int(fault)) +
                                " at record " + std::to_string(at) + " from the newest";
      emptyDataFolder();
      open();
      const auto initial = records(c, kOld, 0);
      auto fresh = records(c, kNew, kOld);
      sim::SimRecord& hit = fresh[static_cast<std::size_t>(kNew - 1 - at)];
      sim::SimFaults faults;
      if (fault == Fault::CutLosingPlace) {
        faults.cutRecordReply = at;
        faults.cutRecordAfter = 3 + 26 + 3;  // inside the data
        faults.losePlaceAfterCut = true;
      } else {
        hit.data.assign(58, 'm');
        hit.announcedLength = fault == Fault::AnnouncesTen ? 10 : 0;
      }
      sim::Scenario s;
      s.logs[c.channel] = initial;
      receiver = std::make_shared<sim::SimReceiver>(s, clock);
      link = std::make_unique<TTERN>(std::make_unique<sim::SimPort>(receiver), clock);
      ASSERT_TRUE(readChannel(c.channel)) << where;
      for (const auto& r : fresh) receiver->addRecord(c.channel, r);
      receiver->setFaults(faults);

      ReadoutReport report;
      readChannel(c.channel, &report);
      EXPECT_TRUE(report.finished) << where;
      std::multiset<Bytes> expected;
      for (const auto& r : initial) expected.insert(sim::recordHeader(r));
      for (const auto& r : fresh)
        if (&r != &hit || fault == Fault::CutLosingPlace) expected.insert(sim::recordHeader(r));
      ASSERT_TRUE(storedHeaders(c) == expected) << where;
      if (fault == Fault::CutLosingPlace) {
        EXPECT_EQ(report.placeLost, 1) << where << ": told as interrupted";
      } else {
        EXPECT_EQ(report.skipped, 1) << where;
        EXPECT_EQ(report.placeLost, 0) << where;
      }
      EXPECT_FALSE(store->marks().stoodAt[c.channel]) << where;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Channels, ReadoutCutTestChannel, ::testing::ValuesIn(kChannels),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(ReadoutCutTest, TheMarkSurvivesARestartInItsOwnFile) {
  const ChannelCase& c = kChannels[0];
  open();
  sim::Scenario s;
  s.logs[c.channel] = records(c, 8, 0);
  s.faults.hangUpAtRequest = 4;  // three records arrive
  receiver = std::make_shared<sim::SimReceiver>(s, clock);
  link = std::make_unique<TTERN>(std::make_unique<sim::SimPort>(receiver), clock);
  readChannel(c.channel);
  ASSERT_TRUE(store->marks().stoodAt[c.channel]);
  const Bytes file = [&] {
    FileData d = readWholeFile(dataFolder() + kReadoutMarksFileName, 1000);
    return d.bytes;
  }();
  ASSERT_EQ(file.size(), ReadoutMarks::kFileSize);
  EXPECT_EQ(Bytes(file.begin(), file.begin() + 5), (Bytes{'T', 'R', 'N', 'M', 1}));
  // DWD is the second channel entry; its header is the third record from the newest.
  const std::size_t entry = 5 + c.channel * 27;
  EXPECT_EQ(file[entry], 1);
  EXPECT_EQ(Bytes(file.begin() + static_cast<std::ptrdiff_t>(entry) + 1,
                  file.begin() + static_cast<std::ptrdiff_t>(entry) + 27),
            sim::recordHeader(s.logs[c.channel][5]));
  restart();
  ASSERT_TRUE(store->marks().stoodAt[c.channel]);
  EXPECT_EQ(
      Bytes(store->marks().stoodAt[c.channel]->begin(), store->marks().stoodAt[c.channel]->end()),
      sim::recordHeader(s.logs[c.channel][5]));
}

TEST_F(ReadoutCutTest, DamagedRecordsAreSkippedAndEverythingBehindThemStored) {
  for (const ChannelCase& c : kChannels) {
    emptyDataFolder();
    open();
    sim::Scenario s;
    auto all = records(c, 25, 0);
    // One announces more than it sends, one more than the buffer takes (and sends it all).
    all[14].announcedLength = static_cast<std::uint32_t>(all[14].data.size() + 500);
    all[7].data.assign(p::kRxBufferSize + 10, 'x');
    s.logs[c.channel] = all;
    receiver = std::make_shared<sim::SimReceiver>(s, clock);
    link = std::make_unique<TTERN>(std::make_unique<sim::SimPort>(receiver), clock);
    ReadoutReport report;
    ASSERT_TRUE(readChannel(c.channel, &report)) << c.name;
    EXPECT_TRUE(report.finished) << c.name;
    EXPECT_EQ(report.skipped, 2) << c.name;
    std::multiset<Bytes> expected;
    for (std::size_t i = 0; i < all.size(); ++i)
      if (i != 14 && i != 7) expected.insert(sim::recordHeader(all[i]));
    EXPECT_EQ(storedHeaders(c), expected) << c.name;
  }
}

}  // namespace
}  // namespace tern::testing

namespace tern::testing {
namespace {

// The oldest record of a log damaged for good: the end behind it comes again after the
// channel was selected once more, so the pass finishes instead of asking every second.
TEST_F(ReadoutCutTest, AnEndBehindTheSameDamagedRecordTwiceIsTheRealEnd) {
  const ChannelCase& c = kChannels[0];
  open();
  sim::Scenario s;
  s.logs[c.channel] = records(c, 6, 0);
  s.logs[c.channel][0].announcedLength = 500;  // sends less than it announces
  receiver = std::make_shared<sim::SimReceiver>(s, clock);
  link = std::make_unique<TTERN>(std::make_unique<sim::SimPort>(receiver), clock);
  for (int pass = 0; pass < 2; ++pass) {
    ReadoutReport report;
    ASSERT_TRUE(readChannel(c.channel, &report));
    EXPECT_TRUE(report.finished) << pass;
    EXPECT_EQ(report.placeLost, 0) << pass;
    EXPECT_EQ(storedHeaders(c).size(), 5u) << pass;
  }
}

// A damaged copy on the PC (the marks file after a cut read-out, or a data file) says
// nothing about where a pass may stop: the channel is read to the end of the log once.
TEST_F(ReadoutCutTest, ADamagedMarkOrDataFileIsReadToTheEndOnce) {
  enum class Damage { MarksCut, MarksGarbage, MarksEmpty, DataCut, DataCutTwice };
  for (const ChannelCase& c : kChannels) {
    for (Damage damage : {Damage::MarksCut, Damage::MarksGarbage, Damage::MarksEmpty,
                          Damage::DataCut, Damage::DataCutTwice}) {
      const std::string where = std::string(c.name) + " damage " + std::to_string(int(damage));
      emptyDataFolder();
      open();
      sim::Scenario s;
      s.logs[c.channel] = records(c, 10, 0);
      const bool marks = damage <= Damage::MarksEmpty;
      if (marks) s.faults.hangUpAtRequest = 4;  // three records, then the cut
      receiver = std::make_shared<sim::SimReceiver>(s, clock);
      link = std::make_unique<TTERN>(std::make_unique<sim::SimPort>(receiver), clock);
      readChannel(c.channel);
      ASSERT_EQ(store->marks().stoodAt[c.channel].has_value(), marks) << where;
      const int table = tableOfCode(c.code);
      const std::string file = marks        ? dataFolder() + kReadoutMarksFileName
                               : table >= 0 ? store->tableFilePath(table)
                                            : store->navtexFilePath(kNavtex518);
      for (int round = 0; round < (damage == Damage::DataCutTwice ? 2 : 1); ++round) {
        const auto size = std::filesystem::file_size(file);
        if (damage == Damage::MarksGarbage) {
          std::ofstream(file, std::ios::binary) << std::string(size, '\xAB');
        } else {
          // Inside a record: a NAVTEX file cut between two records cannot be told from a
          // shorter list.
          std::filesystem::resize_file(file, damage == Damage::MarksEmpty ? 0 : size / 2 - 1);
        }
        // A start and a shutdown before the next read-out must not make the copy look whole.
        restart();
        ASSERT_TRUE(store->SaveFiles()) << where;
        restart();
        receiver->setFaults({});
        receiver->setPlugged(true);
        ReadoutReport report;
        ASSERT_TRUE(readChannel(c.channel, &report)) << where;
        EXPECT_TRUE(report.readAll) << where;
        EXPECT_TRUE(report.finished) << where;
        std::multiset<Bytes> expected;
        for (const auto& r : s.logs[c.channel]) expected.insert(sim::recordHeader(r));
        ASSERT_TRUE(storedHeaders(c) == expected) << where << " round " << round;
        EXPECT_FALSE(store->marks().readAll[c.channel]) << where;
      }
      if (damage == Damage::DataCutTwice) {
        EXPECT_TRUE(std::filesystem::exists(file + ".damaged")) << where;
        EXPECT_TRUE(std::filesystem::exists(file + ".damaged.2")) << where << ": both kept";
      }
    }
  }
}

}  // namespace
}  // namespace tern::testing
