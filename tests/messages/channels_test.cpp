// The NAVTEX frequencies are one table that the store, the read-out, the filter, the export
// and the boat network loop over: a row that another row or a schedule table could be
// mistaken for would mix two frequencies' messages or overwrite one's files with the other's.
#include "messages/channels.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

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
    for (int table = 0; table < kTableCount; ++table) EXPECT_NE(kTableChannel[table], f.channel);
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

}  // namespace
}  // namespace tern
