// The NAVTEX frequencies and the schedules (bulletins, fax stations) are tables that the
// store, the read-out, the pages, the exports and the boat network loop over: a row that
// another row could be mistaken for would mix two channels' messages or overwrite one's
// files with the other's.
#include "messages/channels.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "link/protocol.h"
#include "link/transmitter_names.h"
#include "messages/data_files.h"
#include "messages/nrx_sentences.h"

namespace tern {
namespace {

TEST(NavtexFrequencies, EachRowIsFoundByItsCodeAndKhzAndOwnsItsNamesAlone) {
  std::set<std::string> files, names, folders;
  std::set<int> nrx;
  for (int table = 0; table < kTableCount; ++table) files.insert(tableFileName(table));
  for (int which = 0; which < kNavtexCount; ++which) {
    const NavtexFrequency& f = navtexFrequency(which);
    SCOPED_TRACE(f.khz);
    EXPECT_EQ(navtexOfCode(f.code), which);
    EXPECT_EQ(tableOfCode(f.code), -1);
    EXPECT_EQ(navtexOfKhz(f.khz), which);
    EXPECT_EQ(kNavtexChannels[static_cast<std::size_t>(which)], f.channel);
    for (int table = 0; table < kTableCount; ++table) EXPECT_NE(tableChannel(table), f.channel);
    EXPECT_EQ(nrxFrequencyIndex(f.khz), f.nrxIndex);
    EXPECT_TRUE(files.insert(f.dataFile).second) << f.dataFile;
    EXPECT_TRUE(names.insert(f.name).second) << f.name;
    EXPECT_TRUE(folders.insert(f.exportFolder).second) << f.exportFolder;
    EXPECT_TRUE(nrx.insert(f.nrxIndex).second) << f.nrxIndex;
  }
  // The files users have keep their names.
  EXPECT_STREQ(navtexFileName(kNavtex518), "navtex_518_data.bin");
  EXPECT_STREQ(navtexFileName(kNavtex490), "navtex_490_data.bin");
  EXPECT_EQ(navtexOfKhz(500), -1);
  EXPECT_EQ(nrxFrequencyIndex(500), 2);  // as 518 kHz, the international one
}

// Every transmitter code of the receiver lands in exactly one table or NAVTEX list, and a
// station's codes name the transmitters its schedule's frequencies are on.
TEST(ScheduleTables, EachTransmitterCodeHasOneHomeOnItsStationsTransmitter) {
  for (int code = 0; code < protocol::kTransmitterCount; ++code) {
    SCOPED_TRACE(code);
    const auto c = static_cast<std::uint8_t>(code);
    const int table = tableOfCode(c);
    ASSERT_NE(table >= 0, navtexOfCode(c) >= 0);
    if (table < 0) continue;
    const ScheduleInfo& s = kSchedules[static_cast<std::size_t>(table)];
    const std::string name = TransmitterName(code);
    bool onItsFrequencies = false;
    for (int f = s.firstCode + 1; f <= s.lastCode; ++f)
      onItsFrequencies |=
          name.starts_with(kFrequencyTable[static_cast<std::size_t>(f)].transmitter);
    EXPECT_TRUE(onItsFrequencies) << name << " is not on a frequency of " << s.caption;
  }
  EXPECT_EQ(tableOfCode(protocol::kTransmitterCount), -1);

  std::set<std::string> names;
  for (int table = 0; table < kTableCount; ++table) {
    const ScheduleInfo& s = kSchedules[static_cast<std::size_t>(table)];
    SCOPED_TRACE(s.caption);
    for (const char* n : {s.dataFile, s.countName, s.configPage, s.configTree, s.fileName})
      EXPECT_TRUE(names.insert(n).second) << n;
    EXPECT_EQ(*s.windowName != 0, table >= kFirstFaxTable) << "a fax station names its widgets";
  }
  // The files users have keep their names.
  EXPECT_STREQ(tableFileName(0), "dwd_d_data.bin");
  EXPECT_STREQ(tableFileName(kFirstFaxTable + 1), "fax_northwood_data.bin");
  EXPECT_STREQ(tableFileName(kTableCount - 1), "fax_new_orleans_data.bin");
}

}  // namespace
}  // namespace tern
