// The day's reception plan as text lines: every selected transmission at its (moved) start
// minute, and, when a NAVTEX frequency is chosen, the gaps between them as the NAVTEX
// reception they leave room for. The configuration dialog shows the lines and prints them;
// tern-cli can print them too, so they are built here, without the window.
#pragma once

#include <string>
#include <vector>

#include "config/tree_control.h"

namespace tern {

// The NAVTEX part of a gap line for the options byte: "NAVTEX 518kHz " wins over
// "NAVTEX 490kHz " when both bits are set; empty in power save mode.
std::string NavtexSummaryText(std::uint8_t options);

// One line per selected transmission and per NAVTEX gap, in time order over the minute map.
// Transmission lines: the entry's times as read from the schedule file, three blanks, the
// schedule caption padded to 17 characters, the frequency text padded to 26, the entry's
// group text. Gap lines: "HH:MM - HH:MM", three blanks, the NAVTEX text. UTF-8.
std::vector<std::string> BuildSummary(const TTreeControl& control);

// Nothing would be recorded: no transmission chosen and NAVTEX in power save mode, as in a
// fresh configuration.
bool RecordsNothing(const TTreeControl& control);

}  // namespace tern
