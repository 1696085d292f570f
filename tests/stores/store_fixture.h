// A message store on an empty data folder with the shipped schedule files, for the stores'
// tests; records are put into its tables and lists directly.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "fakes/fake_clock.h"
#include "fakes/memory_views.h"
#include "link/message_store.h"

namespace tern::testing {

class StoreTest : public ::testing::Test {
 protected:
  // The store exists before the tests' own members, which refer to it, are built.
  StoreTest() {
    dir_ = std::filesystem::temp_directory_path() /
           ("tern_stores_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    store = std::make_unique<MessageStore>(dir_.string() + "/", std::string(TERN_ASSETS_DIR) + "/",
                                           nullptr);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

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

  std::filesystem::path dir_;
  std::unique_ptr<MessageStore> store;
  MemoryTreeView tree;
  MemoryTextView memo;
};

}  // namespace tern::testing
