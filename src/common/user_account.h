// The user this program runs as and the groups that decide whether it may open a device.
// A user just added to a group gets it only with the next login, so the groups of this
// session and those of the account are told apart.
#pragma once

#include <string>
#include <vector>

namespace tern {

// The login name of the effective user; the number when it has no name.
std::string currentUserName();

// The groups of this process (effective group included), sorted.
std::vector<std::string> sessionGroupNames();

// The groups the account belongs to according to the group database, sorted.
std::vector<std::string> accountGroupNames();

}  // namespace tern
