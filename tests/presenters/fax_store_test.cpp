// The fax store: station entry lists, trees, showing the selected chart, turning, export.
#include "presenters/fax_store.h"

#include <gtest/gtest.h>

#include <fstream>

#include "common/latin1.h"
#include "fakes/fax_encoder.h"
#include "fakes/memory_views.h"
#include "fakes/recording_sink.h"
#include "fakes/store_fixture.h"
#include "link/transmitter_names.h"

namespace tern::testing {
namespace {

class ImageView final : public FaxImageView {
 public:
  int shown = 0;
  FaxPicture last;
  void showPicture(const FaxPicture& picture) override {
    ++shown;
    last = picture;
  }
};

std::string text(const Bytes& b) { return std::string(b.begin(), b.end()); }

class FaxStoreTest : public StoreTest {
 protected:
  FaxStoreTest() {
    fax.SetFaxTurnSource([this](int station) {
      asked.push_back(station);
      return turns[static_cast<std::size_t>(station)];
    });
  }
  void addStations() {
    fax.AddStations(std::string(TERN_ASSETS_DIR) + "/",
                    {&trees[0], &trees[1], &trees[2], &trees[3], &trees[4]},
                    {&images[0], &images[1], &images[2], &images[3], &images[4]});
  }
  // A chart of `lines` lines in a fax table, new.
  MessageRecord& chart(int station, int row, int slot, const std::string& key, int lines,
                       std::uint8_t flagByte = 0) {
    return put(kFirstFaxTable + station, row, slot, 0, key, CivilTime{2024, 3, 5, 14, 20},
               text(encodeBuffer(chartBuffer(lines))), flagByte);
  }
  TreeView::Node nodeOf(const MemoryTreeView& view, std::uint64_t serial) {
    for (int n = 0; n < view.nodeCount(); ++n)
      if (view.tag(n) == static_cast<std::int64_t>(serial)) return n;
    return TreeView::kNoNode;
  }

  RecordingSink messages;
  std::array<MemoryTreeView, 5> trees;
  std::array<ImageView, 5> images;
  std::array<int, 5> turns{};
  std::vector<int> asked;
  TFAX fax{*store, messages};
};

TEST_F(FaxStoreTest, StationsReadTheirScheduleEntries) {
  addStations();
  ASSERT_EQ(fax.StationCount(), 5);
  EXPECT_EQ(fax.Current(), 4);
  const std::size_t counts[] = {34, 19, 18, 25, 18};
  for (int k = 0; k < 5; ++k) {
    EXPECT_EQ(fax.Station(k).Entries.size(), counts[k]) << k;
    EXPECT_EQ(fax.Station(k).HalfSize, 1);
    EXPECT_EQ(fax.Station(k).Table, kFirstFaxTable + k);
  }
  EXPECT_EQ(fax.Station(0).Entries[0], "ASXX40 Bodenwetterkarte Nordatlantik und Europa");
  EXPECT_EQ(fax.Station(3).Caption, "FAX BOSTON");
  EXPECT_TRUE(messages.texts.empty());

  MemoryTreeView extra;
  fax.AddStation("/nonexistent/SCHEDULE_FAX_X.TRN", "FAX X", 3, 34, 2, &extra, nullptr);
  EXPECT_EQ(messages.texts,
            std::vector<std::string>{"Missing file:/nonexistent/SCHEDULE_FAX_X.TRN"});
  EXPECT_TRUE(fax.Station(5).Entries.empty());
  EXPECT_EQ(fax.Current(), 5);
}

TEST_F(FaxStoreTest, TreesOfEntriesAndRecordings) {
  addStations();
  const auto& newest = chart(0, 1, 0, "FSXX41", 10);
  chart(0, 1, 1, "FSXX41", 10).newFlag = 0;
  fax.BuildTree();
  EXPECT_EQ(fax.Current(), 4);
  // Stations without recordings show only their caption.
  for (int k = 1; k < 5; ++k) {
    ASSERT_EQ(trees[k].nodeCount(), 1) << k;
    EXPECT_EQ(trees[k].items[0].caption, fax.Station(k).Caption);
    EXPECT_TRUE(trees[k].items[0].expanded);
  }
  ASSERT_EQ(trees[0].nodeCount(), 4);
  EXPECT_EQ(trees[0].items[1].caption, latin1ToUtf8(fax.Station(0).Entries[1]));
  EXPECT_EQ(trees[0].items[1].tag, -1);
  const std::string caption = "05.03  14:20  " + TransmitterName(0);
  EXPECT_EQ(trees[0].children(1), (std::vector<std::string>{caption, caption}));
  EXPECT_EQ(trees[0].items[2].tag, static_cast<std::int64_t>(newest.serial));
  EXPECT_TRUE(trees[0].items[2].bold);
  EXPECT_FALSE(trees[0].items[3].bold);
}

TEST_F(FaxStoreTest, RecordingWithoutScheduleEntryStopsTheRebuild) {
  const auto path = dir_ / "SHORT.TRN";
  std::ofstream(path) << "PYAA10\nShort\n-\n-\n00:20\n01:00\n#\n";
  MemoryTreeView broken, later;
  fax.AddStation(path.string(), "FAX SHORT", 3, 34, 2, &broken, nullptr);
  fax.AddStation(std::string(TERN_ASSETS_DIR) + "/SCHEDULE_FAX_NORTHWOOD.TRN", "FAX NORTHWOOD", 3,
                 19, 3, &later, nullptr);
  chart(0, 0, 0, "PYAA10", 5);
  chart(0, 3, 0, "QQQQ03", 5);  // row 3 has no entry in the short file
  chart(1, 0, 0, "PYAA10", 5);
  fax.BuildTree();
  EXPECT_EQ(messages.texts, std::vector<std::string>{"Fehler im Sendeplan!"});
  EXPECT_EQ(broken.children(0), std::vector<std::string>{"PYAA10 Short"});
  EXPECT_EQ(later.nodeCount(), 0);  // not rebuilt
}

TEST_F(FaxStoreTest, ShowSelectedMarksReadAndShowsTheChart) {
  addStations();
  turns[1] = 1200;
  MessageRecord& r = chart(1, 2, 0, "PBAA99", 40);
  const std::uint64_t serial = r.serial;
  fax.BuildTree();
  const TreeView::Node node = nodeOf(trees[1], serial);
  ASSERT_NE(node, TreeView::kNoNode);

  // Nothing selected, or a group node: nothing happens, but the station becomes current.
  fax.ShowSelected(&trees[1]);
  trees[1].select(1);
  fax.ShowSelected(&trees[1]);
  EXPECT_EQ(fax.Current(), 1);
  EXPECT_EQ(images[1].shown, 0);
  EXPECT_EQ(store->find(serial)->newFlag, 1);

  trees[1].select(node);
  fax.ShowSelected(&trees[1]);
  EXPECT_EQ(store->find(serial)->newFlag, 0);
  EXPECT_FALSE(trees[1].items[static_cast<std::size_t>(node)].bold);
  EXPECT_EQ(asked, std::vector<int>{1});
  ASSERT_EQ(images[1].shown, 1);
  EXPECT_EQ(images[1].last.width, 900);  // a new station shows half size
  EXPECT_EQ(images[1].last.height, 20);
  EXPECT_EQ(fax.CurrentStation().CurrentKey, "PBAA99");
  EXPECT_EQ(fax.CurrentStation().StationRect, (FaxRect{0, 0, 1799, 39}));
  EXPECT_EQ(fax.SelectedKey(), std::optional<std::string>("PBAA99"));
  // The chart was sheared with the station's slant: row 2 of the phasing starts one pixel
  // earlier in the stream, so its white bar reaches one column further.
  EXPECT_EQ(fax.Buffers().Pixel(2, 80), 0);
  EXPECT_EQ(fax.Buffers().Pixel(1, 80), 1);

  // Full size, turned once, then selected again: unturned.
  fax.RenderImage(false);
  fax.RotateImage();
  fax.RenderImage(fax.HalfSize());
  EXPECT_EQ(fax.CurrentStation().RotationState, 1);
  EXPECT_EQ(images[1].last.width, 40);
  EXPECT_EQ(images[1].last.height, 1800);
  fax.ShowSelected(&trees[1]);
  EXPECT_EQ(fax.CurrentStation().RotationState, 0);
  EXPECT_EQ(images[1].last.width, 1800);  // the station keeps full size
  EXPECT_EQ(images[0].shown, 0);

  // A recording dropped by a read-out since the tree was built is not shown.
  store->table(3).slot(2, 0) = MessageRecord::empty();
  fax.ShowSelected(&trees[1]);
  EXPECT_EQ(images[1].shown, 4);
  EXPECT_FALSE(fax.SelectedKey());
}

TEST_F(FaxStoreTest, DroppedRecordingShowsTheNotice) {
  addStations();
  const std::uint64_t serial = chart(4, 0, 0, "PYEA10", 30, kQualityFlagBit).serial;
  fax.BuildTree();
  trees[4].select(nodeOf(trees[4], serial));
  fax.ShowSelected(&trees[4]);
  ASSERT_EQ(images[4].shown, 1);
  EXPECT_EQ(images[4].last.width, 900);
  EXPECT_EQ(images[4].last.height, 1200);
  ASSERT_TRUE(images[4].last.notice);
  EXPECT_EQ(images[4].last.notice->x, 30);
}

TEST(FaxFileNames, KeyTextsBecomeSafeNames) {
  EXPECT_EQ(TFAX::ImageFileName("PYAA12XYZ"), "PYAA12.BMP");
  EXPECT_EQ(TFAX::ImageFileName("AB"), "AB.BMP");
  EXPECT_EQ(TFAX::ImageFileName(""), "_.BMP");
  EXPECT_EQ(TFAX::ImageFileName("a/b\\c."), "a_b_c_.BMP");
  EXPECT_EQ(TFAX::ImageFileName("\xE4rger"), "_rger.BMP");
}

}  // namespace
}  // namespace tern::testing
