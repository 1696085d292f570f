// A receiver with something to show: the content `--simulate` starts with, so the
// program and tern-cli can be tried without hardware.
#pragma once

#include "common/clock.h"
#include "sim/scenario.h"

namespace tern::sim {

// Records received during the hours before `utcNow`, three days of barometer samples, a
// reception-test text and the status bits that ask for a read-out of every channel.
Scenario demoScenario(const CivilTime& utcNow);

}  // namespace tern::sim
