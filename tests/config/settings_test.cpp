#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "config/config_fakes.h"
#include "config/tree_control.h"
#include "fakes/scratch_folder.h"

namespace tern {
namespace {

using testing::block;
using testing::MemoryTreeView;
using testing::RecordingSink;
using testing::scheduleText;
using testing::ScratchFolder;

std::string german(int entries) {
  std::vector<std::string> starts;
  for (int i = 0; i < entries; ++i) starts.push_back(FormatMinutes(i * 30));
  return block("ABCDEF", "Test", "00:20", starts);
}

class Settings : public ::testing::Test {
 protected:
  std::string folder() const { return dir_.slash(); }

  // A control with a German-like schedule of `entries` time records and a fax one.
  std::unique_ptr<TTreeControl> make(int entries = 10) {
    auto c = std::make_unique<TTreeControl>(sink, folder());
    c->AddSchedule(scheduleText(german(entries)), "D", "RTTY DWD DEUTSCH", 3, 0, &trees[0]);
    c->AddSchedule(scheduleText(block("FAXFAX", "Karte", "00:12", {"06:00", "18:00"})), "F",
                   "FAX DWD", 11, 8, &trees[1]);
    return c;
  }
  void toggle(TTreeControl& c, int schedule, int entry) {
    c.SelectSchedule(schedule);
    trees[static_cast<std::size_t>(schedule)].select(entry);
    c.ToggleEntry();
  }
  Bytes fileBytes() const { return readWholeFile(folder() + kSettingsFileName, 1 << 20).bytes; }
  void writeFile(const Bytes& b) const {
    ASSERT_TRUE(replaceFileAtomically(folder() + kSettingsFileName, b));
  }

  ScratchFolder dir_{"tern_settings"};
  RecordingSink sink;
  std::array<MemoryTreeView, 2> trees;
};

void expectEmptySlots(const SchedulePayload& p, int from) {
  for (int k = from; k < kPayloadSlots; ++k) {
    const Bytes slot(p.begin() + k * 10, p.begin() + k * 10 + 10);
    ASSERT_EQ(slot, (Bytes{0, 0, 0, 255, 0, 0, 0, 0, 0, 0})) << "slot " << k;
  }
}

TEST_F(Settings, PayloadOfNothingAndOfOneEntry) {
  auto c = make();
  c->SetAntenna(true);
  c->BuildPayload();
  expectEmptySlots(c->Payload(), 0);
  EXPECT_EQ(c->Payload()[2000], kOptionAntenna);

  // 06:10 for 20 minutes, code 1, identifier ABCDEF.
  auto d = std::make_unique<TTreeControl>(sink, folder());
  d->AddSchedule(scheduleText(block("ABCDEF", "T", "00:20", {"06:10"})), "D", "RTTY DWD DEUTSCH", 3,
                 0, &trees[0]);
  trees[0].select(2);
  d->ToggleEntry();
  d->SetFreqCode(1);
  d->BuildPayload();
  EXPECT_EQ(Bytes(d->Payload().begin(), d->Payload().begin() + 10),
            (Bytes{0x72, 0x01, 20, 7, 'A', 'B', 'C', 'D', 'E', 'F'}));
  expectEmptySlots(d->Payload(), 1);
}

TEST_F(Settings, PayloadKeepsTheFirst200SelectedInScheduleOrder) {
  auto c = std::make_unique<TTreeControl>(sink, folder());
  std::vector<std::string> starts;
  for (int i = 0; i < 250; ++i) starts.push_back(FormatMinutes(i * 2));
  c->AddSchedule(scheduleText(block("MANYMA", "M", "00:01", starts)), "D", "RTTY DWD DEUTSCH", 3, 0,
                 &trees[0]);
  c->SelectAll();
  c->ChooseNavtex(NavtexChoice::Navtex518);
  c->BuildPayload();
  EXPECT_EQ(getU16(c->Payload(), 1990), 199 * 2);
  EXPECT_EQ(c->Payload()[2000], kOptionNavtex518);
}

TEST_F(Settings, NavtexChoicesAndAntenna) {
  auto c = make();
  c->SetAntenna(true);
  c->ChooseNavtex(NavtexChoice::Navtex490);
  EXPECT_EQ(c->Options(), kOptionAntenna | kOptionNavtex490);
  c->ChooseNavtex(NavtexChoice::Navtex518);
  EXPECT_EQ(c->Options(), kOptionAntenna | kOptionNavtex518);
  c->ChooseNavtex(NavtexChoice::PowerSave);
  EXPECT_EQ(c->Options(), kOptionAntenna);
  c->SetAntenna(false);
  EXPECT_EQ(c->Options(), 0);
}

TEST_F(Settings, SaveThenLoadGivesBackTheSameBytes) {
  auto c = make();
  toggle(*c, 0, 2);
  toggle(*c, 0, 5);
  c->SetFreqCode(3);
  toggle(*c, 1, 3);
  c->SetCurrentFaxTurn(-17);
  c->SelectSchedule(0);
  c->SetStartOffset(10);
  c->ChooseNavtex(NavtexChoice::Navtex490);
  c->SetBaroHeight(42);
  ASSERT_TRUE(c->SetExportPath("/home/skipper/Wetter"));
  c->SetExportOn(true);
  ASSERT_TRUE(c->Save());
  const Bytes saved = fileBytes();
  EXPECT_EQ(saved.size(), kSettingsHeaderSize + 2 * 8 + 140 * (12 + 4));
  // The format mark, whatever version the program itself has.
  EXPECT_EQ(Bytes(saved.begin(), saved.begin() + 3), (Bytes{1, 3, 40}));
  EXPECT_EQ(getI32(saved, 4), 42);

  auto d = make();
  EXPECT_EQ(d->LoadSettings(), SettingsLoad::Valid);
  EXPECT_EQ(d->SettingsBytes(), saved);
  EXPECT_EQ(d->Payload(), c->Payload());
  EXPECT_EQ(d->TimeAlloc().Cells, c->TimeAlloc().Cells);
  EXPECT_EQ(d->ExportPath(), "/home/skipper/Wetter");
  EXPECT_TRUE(d->ExportOn());
  EXPECT_EQ(trees[0].image(5), TreeView::StateImage::Selected);
  ASSERT_TRUE(d->SaveSettings());
  EXPECT_EQ(fileBytes(), saved);
}

TEST_F(Settings, StartOffsetIsStoredMovedAndReadBackOnce) {
  auto c = make();
  toggle(*c, 0, 2);  // 00:00
  c->SetStartOffset(10);
  ASSERT_TRUE(c->SaveSettings());
  const Bytes saved = fileBytes();
  const std::size_t section = kSettingsHeaderSize;
  EXPECT_EQ(getI32(saved, section + 4), 10);
  EXPECT_EQ(getU16(saved, section + 8 + 2 * 140 + 130), 10);

  auto d = make();
  ASSERT_EQ(d->LoadSettings(), SettingsLoad::Valid);
  EXPECT_EQ(d->Schedule(0).Entries[2].StartMinute, 10);
  EXPECT_EQ(d->Schedule(0).Entries[2].Kind, NodeKind::Selected);
  EXPECT_EQ(d->TimeAlloc().cell(10), 0);
  EXPECT_EQ(d->TimeAlloc().cell(9), kFreeCell);
}

TEST_F(Settings, InvalidFilesFallBackToEveryDefault) {
  auto writer = make(10);
  toggle(*writer, 0, 2);
  writer->SetAntenna(true);
  ASSERT_TRUE(writer->SaveSettings());
  const Bytes good = fileBytes();

  struct Case {
    const char* name;
    Bytes bytes;
  };
  auto with = [&](std::size_t at, std::initializer_list<std::uint8_t> v) {
    Bytes b = good;
    std::copy(v.begin(), v.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
    return b;
  };
  const Case cases[] = {
      {"wrong signature", with(0, {1, 3, 41})},
      {"header only", Bytes(good.begin(), good.begin() + kSettingsHeaderSize)},
      {"ends before the export switch", Bytes(good.begin(), good.begin() + 1032)},
      {"empty", Bytes{}},
      {"fax slant 1001", with(kSettingsHeaderSize, {0xE9, 0x03, 0, 0})},
      {"last record cut", Bytes(good.begin(), good.end() - 1)},
      {"one byte too many",
       [&] {
         Bytes b = good;
         b.push_back(0);
         return b;
       }()},
  };
  for (const Case& c : cases) {
    auto d = make(10);
    toggle(*d, 0, 3);  // unsaved changes are taken back as well
    d->SetBaroHeight(100);
    writeFile(c.bytes);
    EXPECT_EQ(d->LoadSettings(), SettingsLoad::Invalid) << c.name;
    EXPECT_EQ(d->Options(), 0) << c.name;
    EXPECT_EQ(d->BaroHeight(), 0) << c.name;
    EXPECT_EQ(d->Schedule(0).Entries[3].Kind, NodeKind::Free) << c.name;
    EXPECT_EQ(d->TimeAlloc().cell(30), kFreeCell) << c.name;
    EXPECT_EQ(trees[0].image(3), TreeView::StateImage::Free) << c.name;
    expectEmptySlots(d->Payload(), 0);
    // The defaults are no choice of the user: nothing goes to the receiver, and a slant save
    // does not put them in the file's place.
    EXPECT_TRUE(d->ScheduleBlockToSend().empty()) << c.name;
    EXPECT_FALSE(d->SaveSettings()) << c.name;
    EXPECT_EQ(fileBytes(), c.bytes) << c.name;
    EXPECT_TRUE(sink.said.empty()) << c.name << ": the window stays silent";
  }
  // The dialog's save makes them the user's choice.
  auto saved = make(10);
  ASSERT_EQ(saved->LoadSettings(), SettingsLoad::Invalid);
  EXPECT_TRUE(saved->Save());
  EXPECT_EQ(saved->ScheduleBlockToSend().size(), kPayloadSize);
  EXPECT_EQ(make(10)->LoadSettings(), SettingsLoad::Valid);

  // Written with 10 entries, read with 12 (it ends early) or with 8 (it has bytes left).
  writeFile(good);
  EXPECT_EQ(make(12)->LoadSettings(), SettingsLoad::Invalid);
  EXPECT_EQ(make(8)->LoadSettings(), SettingsLoad::Invalid);
  EXPECT_EQ(make(10)->LoadSettings(), SettingsLoad::Valid);
  // Limits that are still valid: slant 1000, an offset out of range (read as 0).
  writeFile(with(kSettingsHeaderSize, {0xE8, 0x03, 0, 0, 31, 0, 0, 0}));
  auto e = make(10);
  EXPECT_EQ(e->LoadSettings(), SettingsLoad::Valid);
  EXPECT_EQ(e->Schedule(0).FaxTurn, 1000);
  EXPECT_EQ(e->Schedule(0).StartOffset, 0);
}

TEST_F(Settings, MissingFileMeansDefaults) {
  auto c = make();
  toggle(*c, 0, 2);
  EXPECT_EQ(c->LoadSettings(), SettingsLoad::Missing);
  EXPECT_EQ(c->Schedule(0).Entries[2].Kind, NodeKind::Free);
  expectEmptySlots(c->Payload(), 0);
  EXPECT_EQ(c->ScheduleBlockToSend().size(), kPayloadSize);
}

TEST_F(Settings, StoredCodesAreTakenWithinLimits) {
  auto c = make();
  ASSERT_TRUE(c->SaveSettings());
  Bytes b = fileBytes();
  const std::size_t first = kSettingsHeaderSize + 8 + 2 * 140;  // entry 2 of schedule 0
  b[first] = 2;                                                 // free
  b[first + 133] = 13;                                          // a code of another channel
  b[first + 140] = 3;                                           // entry 3 selected...
  b[first + 140 + 133] = 31;             // ...with a code that names no frequency
  b[first + 280] = 9;                    // a kind that does not exist is ignored
  b[first + 280 + 133] = 200;            // and so is a code beyond 31
  b[kSettingsHeaderSize + 8] = 3;        // a root record marked selected stays a root
  b[kSettingsHeaderSize + 8 + 140] = 2;  // and a group stays a group
  writeFile(b);
  auto d = make();
  ASSERT_EQ(d->LoadSettings(), SettingsLoad::Valid);
  EXPECT_EQ(d->Schedule(0).Entries[0].Kind, NodeKind::Root);
  EXPECT_EQ(d->Schedule(0).Entries[1].Kind, NodeKind::Group);
  EXPECT_EQ(d->Schedule(0).Entries[4].Kind, NodeKind::Free);
  EXPECT_EQ(d->Schedule(0).Entries[4].FreqCode, 0);
  // The payload never reads beyond the frequency table: code 31 goes out as AUTO.
  EXPECT_EQ(d->Payload()[3], kFrequencyTable[0].receiverNumber);
  // A newly selected entry with a foreign code falls back to its schedule's AUTO code.
  toggle(*d, 0, 2);
  EXPECT_EQ(d->Schedule(0).Entries[2].FreqCode, 0);
  EXPECT_EQ(d->TimeAlloc().cell(0), 0);
}

TEST_F(Settings, OptionSettersAndHooks) {
  auto c = make();
  std::vector<int> heights;
  std::vector<bool> exports;
  std::vector<std::string> runs;
  c->SetHooks({[&](int m) { heights.push_back(m); }, [&](bool on) { exports.push_back(on); },
               [&](const std::string& f) { runs.push_back(f); }});
  EXPECT_EQ(c->SetBaroHeight(900), 750);
  EXPECT_EQ(c->SetBaroHeight(-3), 0);
  EXPECT_EQ(heights, (std::vector<int>{750, 0}));
  c->SetBaroHeight(900);
  ASSERT_TRUE(c->SaveSettings());
  EXPECT_EQ(getI32(fileBytes(), 4), 750);

  c->SetExportOn(true);
  c->SetExportOn(true);
  EXPECT_EQ(exports, (std::vector<bool>{true}));
  EXPECT_FALSE(c->SetExportPath(std::string(1024, 'x')));
  EXPECT_TRUE(c->SetExportPath(std::string(1023, 'x')));
  EXPECT_TRUE(c->SetExportPath("/tmp/a"));
  EXPECT_EQ(c->ExportPath(), "/tmp/a");
  ASSERT_TRUE(c->Save());
  EXPECT_EQ(runs, (std::vector<std::string>{"/tmp/a"}));
  c->SetExportOn(false);
  ASSERT_TRUE(c->Save());
  EXPECT_EQ(runs.size(), 1u);

  c->SelectSchedule(1);
  c->SetCurrentFaxTurn(5000);  // kept loadable
  EXPECT_EQ(c->CurrentFaxTurn(), kMaxFaxTurn);
}

TEST_F(Settings, FailedSaveTellsTheUserAndStillBuildsThePayload) {
  auto c = std::make_unique<TTreeControl>(sink, folder() + "missing/");
  c->AddSchedule(scheduleText(german(3)), "D", "RTTY DWD DEUTSCH", 3, 0, &trees[0]);
  trees[0].select(2);
  c->ToggleEntry();
  EXPECT_FALSE(c->Save());
  ASSERT_EQ(sink.texts.size(), 1u);
  EXPECT_EQ(sink.texts[0], "Die Einstellungen konnten nicht gespeichert werden.");
  EXPECT_EQ(c->Payload()[3], 0);  // slot 0 filled
}

TEST_F(Settings, HostileFilesNeverBreakTheModel) {
  std::mt19937 random(4711);
  auto base = make();
  ASSERT_TRUE(base->SaveSettings());
  const std::size_t size = fileBytes().size();
  for (int round = 0; round < 200; ++round) {
    Bytes b(round % 2 ? size : random() % (2 * size));
    for (auto& v : b) v = static_cast<std::uint8_t>(random());
    if (round % 4 == 1) std::copy(kSettingsSignature.begin(), kSettingsSignature.end(), b.begin());
    if (round % 8 == 1) std::fill(b.begin() + 1033, b.begin() + 1041, 0);
    writeFile(b);
    auto d = make();
    d->LoadSettings();
    const SchedulePayload& p = d->Payload();
    for (int k = 0; k < kPayloadSlots; ++k)
      ASSERT_LT(getU16(p, static_cast<std::size_t>(k) * 10), 1440);
    for (int s = 0; s < d->ScheduleCount(); ++s) {
      for (const auto& e : d->Schedule(s).Entries) ASSERT_LT(e.StartMinute, 1440);
      d->SelectSchedule(s);
      d->SelectAll();
      d->DeselectAll();
    }
  }
}

}  // namespace
}  // namespace tern

namespace tern {
namespace {

TEST_F(Settings, LoadedOverlapsAndForeignCodesLoseTheirClaim) {
  auto c = std::make_unique<TTreeControl>(sink, folder());
  c->AddSchedule(scheduleText(block("AAAAAA", "A", "00:30", {"01:00", "01:05", "03:00"})), "D",
                 "RTTY DWD DEUTSCH", 3, 0, &trees[0]);
  c->AddSchedule(scheduleText(block("FAXFAX", "Karte", "00:12", {"06:00"})), "F", "FAX DWD", 11, 8,
                 &trees[1]);
  toggle(*c, 0, 2);
  toggle(*c, 1, 2);
  Bytes bytes = c->SettingsBytes();
  const std::size_t german = kSettingsHeaderSize + 8;
  const std::size_t fax = german + 5 * TTreeNodeData::kRecordSize + 8;
  bytes[german + 3 * TTreeNodeData::kRecordSize] = 3;        // 01:05 marked selected too
  bytes[german + 4 * TTreeNodeData::kRecordSize + 133] = 9;  // 03:00 with a fax frequency
  bytes[fax + 2 * TTreeNodeData::kRecordSize + 133] = 1;     // the fax on an RTTY frequency
  bytes[fax + 2 * TTreeNodeData::kRecordSize + 0] = 3;
  ASSERT_EQ(c->LoadSettings(bytes), SettingsLoad::Valid);

  const auto& g = c->Schedule(0).Entries;
  EXPECT_EQ(g[2].Kind, NodeKind::Selected);
  EXPECT_EQ(g[3].Kind, NodeKind::Blocked);
  EXPECT_EQ(trees[0].image(3), TreeView::StateImage::Blocked);
  EXPECT_EQ(g[4].FreqCode, 0);
  EXPECT_EQ(c->Schedule(1).Entries[2].FreqCode, 8);
  EXPECT_EQ(c->TimeAlloc().cell(6 * 60), 8);
  c->BuildPayload();
  EXPECT_EQ(getU16(ByteView(c->Payload()), 0), 60);    // 01:00 only, not 01:05 beside it
  EXPECT_EQ(getU16(ByteView(c->Payload()), 10), 360);  // then the fax, on the fax AUTO
  EXPECT_EQ(c->Payload()[13], 2);
  EXPECT_EQ(c->Payload()[23], 255);
}

TEST_F(Settings, TreesAttachAndDetachAndFaxTurnNeedsNoCurrentSchedule) {
  auto c = make();
  toggle(*c, 0, 3);
  c->DetachTreeViews();
  EXPECT_EQ(c->CurrentTreeView(), nullptr);
  c->SelectSchedule(1);
  c->SelectAll();  // no tree: the model alone
  MemoryTreeView fresh0, fresh1;
  c->AttachTreeViews({&fresh0, &fresh1});
  ASSERT_EQ(fresh0.nodeCount(), c->Schedule(0).EntryCount());
  EXPECT_EQ(fresh0.image(3), TreeView::StateImage::Selected);
  EXPECT_EQ(fresh1.image(2), TreeView::StateImage::Selected);
  EXPECT_EQ(fresh0.items[3].caption.substr(0, 13), "00:30 - 00:50");

  c->SelectSchedule(0);
  c->SetFaxTurn(1, 42);
  c->SetFaxTurn(1, 5000);
  EXPECT_EQ(c->Current(), 0);
  EXPECT_EQ(c->FaxTurn(1), kMaxFaxTurn);
  EXPECT_EQ(c->FaxTurn(0), 0);
  c->DetachTreeViews();
}

}  // namespace
}  // namespace tern
