// A TTERN on a scripted fake port and a fake clock, with the fake kept reachable.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "fakes/fake_clock.h"
#include "fakes/fake_port.h"
#include "link/ttern.h"

namespace tern::testing {

class LinkFixture : public ::testing::Test {
 protected:
  LinkFixture() {
    auto owned = std::make_unique<FakePort>();
    port = owned.get();
    link = std::make_unique<TTERN>(std::move(owned), clock);
  }
  // Opens the link and forgets the calls that took.
  void openQuietly() {
    ASSERT_TRUE(link->OpenLink());
    port->clearLog();
  }

  FakeClock clock;
  FakePort* port = nullptr;
  std::unique_ptr<TTERN> link;
};

inline Bytes bytesOf(std::initializer_list<std::uint8_t> b) { return Bytes(b); }

}  // namespace tern::testing
