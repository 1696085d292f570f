#include "common/error_text.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace tern {
namespace {

TEST(SystemErrorText, GermanForEveryNumberNeverTheLibrarysEnglish) {
  const std::vector<std::pair<int, std::string>> cases{
      {ENOSPC, "Kein Platz mehr auf dem Datenträger"},
      {EPERM, "Keine Berechtigung"},
      {ENOMEM, "Nicht genügend Speicher"},
      {ETIMEDOUT, "Zeitüberschreitung"},
      {EPROTO, "Systemfehler " + std::to_string(EPROTO)},
      {12345, "Systemfehler 12345"},
  };
  for (const auto& [error, text] : cases) {
    EXPECT_EQ(systemErrorText(error), text) << error;
    EXPECT_NE(systemErrorText(error), std::strerror(error)) << error;
  }
}

}  // namespace
}  // namespace tern
