// A message store on an empty data folder with the shipped schedule files, for the tests of
// the presenters and the export; records are put into its tables and lists directly.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "fakes/fake_clock.h"
#include "fakes/memory_views.h"
#include "fakes/scratch_folder.h"
#include "messages/message_store.h"

namespace tern::testing {

class StoreTest : public ::testing::Test {
 protected:
  // The store exists before the tests' own members, which refer to it, are built.
  StoreTest() {
    store =
        std::make_unique<MessageStore>(dir_.slash(), std::string(TERN_ASSETS_DIR) + "/", nullptr);
  }

  MessageRecord& put(int table, int row, int slot, std::uint8_t code, const std::string& key,
                     CivilTime t, const std::string& text, std::uint8_t flagByte = 0) {
    MessageRecord& r = store->table(table).slot(row, slot);
    r.header = makeHeader(code, static_cast<std::uint32_t>(text.size()), key, t, flagByte);
    r.data.assign(text.begin(), text.end());
    r.newFlag = 1;
    r.serial = store->nextSerial();
    return r;
  }
  void navtex(int which, const std::string& key, CivilTime t, const std::string& text = "") {
    store->navtex(which).append(
        makeHeader(which == kNavtex518 ? 10 : 9, static_cast<std::uint32_t>(text.size()), key, t),
        ByteView(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
        store->nextSerial());
  }

  ScratchFolder dir_{"tern_presenters"};
  std::unique_ptr<MessageStore> store;
  MemoryTreeView tree;
  MemoryTextView memo;
};

}  // namespace tern::testing
