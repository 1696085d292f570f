// A message store on a private data folder with the shipped schedule files, and the real
// TTERN on the simulated receiver with a fake clock.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "fakes/fake_clock.h"
#include "fakes/recording_sink.h"
#include "fakes/scratch_folder.h"
#include "link/ttern.h"
#include "messages/message_store.h"
#include "sim/sim_port.h"

namespace tern::testing {

class ReadoutTest : public ::testing::Test {
 protected:
  void TearDown() override {
    link.reset();
    store.reset();
  }
  std::string dataFolder() const { return dir_.string() + "/"; }
  static std::string programFolder() { return std::string(TERN_ASSETS_DIR) + "/"; }

  void open(sim::Scenario scenario = {}) {
    if (!store) store = std::make_unique<MessageStore>(dataFolder(), programFolder(), &sink);
    receiver = std::make_shared<sim::SimReceiver>(std::move(scenario), clock);
    link = std::make_unique<TTERN>(std::make_unique<sim::SimPort>(receiver), clock);
  }
  // A record received `hoursAgo` hours before the fake clock's now.
  sim::SimRecord record(std::uint8_t code, const std::string& key, double hoursAgo,
                        const std::string& text = "text") {
    sim::SimRecord r;
    r.code = code;
    r.key = key;
    r.received = civilFromSeconds(secondsSinceEpoch(clock.utcNow()) -
                                  static_cast<std::int64_t>(hoursAgo * 3600));
    r.data.assign(text.begin(), text.end());
    return r;
  }
  std::string keyAt(int table, int row, int slot) {
    const MessageRecord& r = store->table(table).slot(row, slot);
    return r.isEmpty() ? "-"
                       : r.keyText() + "@" + std::to_string(r.receptionTime().hour) + ":" +
                             std::to_string(r.receptionTime().minute);
  }

  ScratchFolder dir_{"tern_readout"};
  FakeClock clock{{2026, 3, 5, 14, 20, 0, 0}, 60};
  RecordingSink sink;
  std::unique_ptr<MessageStore> store;
  std::shared_ptr<sim::SimReceiver> receiver;
  std::unique_ptr<TTERN> link;
};

}  // namespace tern::testing
