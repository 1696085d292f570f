// The demo content of one day at a fixed clock, pinned by digests: the same on every compiler
// and processor (arm64-check runs this test under qemu too). A digest that changes on
// purpose is set anew here; one that differs between two builds means a draw of the demo's
// random source whose order the compiler chooses.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "common/bytes.h"
#include "common/sha256.h"
#include "sim/demo_programme.h"
#include "sim/demo_scenario.h"

namespace tern::sim {
namespace {

const CivilTime kClock{2026, 3, 5, 14, 20, 0, 0};

TEST(DemoDigest, OneDayOfDemoContentIsPinned) {
  const std::int64_t now = secondsSinceEpoch(kClock);
  const DemoWeather weather(now);
  std::map<std::string, Bytes> content;
  const char* kSourceNames[] = {"dwd", "fax", "navtex"};
  for (const DemoItem& item : demoItemsBetween(now - 86400, now)) {
    ByteWriter to(content[kSourceNames[static_cast<int>(item.source)]]);
    for (auto& [channel, record] : demoRecords(item, weather)) {
      to.u8(channel);
      to.bytes(recordHeader(record));
      to.bytes(record.data);
    }
  }
  const Scenario s = demoScenario(kClock);
  Bytes& baro = content["barometer"];
  ByteWriter w(baro);
  for (std::int16_t v : s.baroPressures) w.u16(static_cast<std::uint16_t>(v));
  w.u16(static_cast<std::uint16_t>(s.pressure));
  w.u16(static_cast<std::uint16_t>(s.temperature));

  const std::map<std::string, std::string> expected = {
      {"barometer", "85460dd81ecf44b8261c9263225278398e42c007f68afe73f69628bda635b0fc"},
      {"dwd", "274943788c072b89f83fec5474e07409350889fd769bfa80f23f66495c44b3ce"},
      {"fax", "9347909cdce50ec4f7318a5216a1b1c7dac6acb51bd813a348b24b8b376abca5"},
      {"navtex", "2e1b989275d942bbb63add16b7336c5c9bf39414dc9472dbe4b4d2dd982c532d"},
  };
  std::map<std::string, std::string> digests;
  for (const auto& [name, bytes] : content) digests[name] = sha256Hex(bytes);
  EXPECT_EQ(digests, expected);
}

}  // namespace
}  // namespace tern::sim
