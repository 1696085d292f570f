#include "common/error_text.h"

#include <gtest/gtest.h>
#include <netdb.h>

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
      // what binding the web page's address or reaching a UDP target meets
      {EADDRINUSE, "Adresse wird bereits verwendet"},
      {EADDRNOTAVAIL, "Adresse gehört nicht zu diesem Rechner"},
      {EINVAL, "Ungültiger Wert"},
      {EPROTO, "Systemfehler " + std::to_string(EPROTO)},
      {12345, "Systemfehler 12345"},
  };
  for (const auto& [error, text] : cases) {
    EXPECT_EQ(systemErrorText(error), text) << error;
    EXPECT_NE(systemErrorText(error), std::strerror(error)) << error;
  }
}

TEST(SystemErrorText, NameResolutionInGerman) {
  EXPECT_EQ(resolverErrorText(EAI_NONAME), "Name oder Adresse unbekannt");
  EXPECT_EQ(resolverErrorText(EAI_AGAIN), "Namensauflösung gerade nicht möglich");
  errno = EACCES;
  EXPECT_EQ(resolverErrorText(EAI_SYSTEM), "Keine Berechtigung");
  EXPECT_NE(resolverErrorText(EAI_NONAME), ::gai_strerror(EAI_NONAME));
}

}  // namespace
}  // namespace tern
