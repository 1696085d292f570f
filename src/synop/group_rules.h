// The rules of the ship report dispatcher: the section markers, and per block of states the
// tests that decide, from the first figures of a word, which group it is, which state
// follows and which decoder reads it. The tables in group_rules.cpp read like the code's
// own description of the report, row by row.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "synop/group_decoders.h"
#include "synop/group_state.h"

namespace tern::synop {

// How a rule tests a word.
enum class Match : std::uint8_t {
  Prefix,    // the word begins with the rule's text; "" matches any word
  Contains,  // the word contains the text
  Equals,    // the word is the text
};

// A word that matches moves the dispatcher to `next` and goes to `decode`; a rule without a
// decoder only opens a block (or, in the call-sign state, skips a repeated "BBXX").
struct GroupRule {
  std::string_view text;
  SynopState next;
  GroupDecoder decode = nullptr;
  Match match = Match::Prefix;
};

// The state that the section marker at the start of `word` opens ("333", "444", "555",
// "666", "PIC", "BOT"); nothing for any other word.
std::optional<SynopState> MarkerState(std::string_view word);

// The first rule of `state`'s block that `word` matches, tested in table order; null when
// none does (or the word is empty), and the word is then ignored.
const GroupRule* FindRule(SynopState state, std::string_view word);

}  // namespace tern::synop
