#include "web/web_access.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "fakes/scratch_folder.h"

namespace tern::testing {
namespace {

TEST(WebAccess, ListenAddresses) {
  struct Case {
    const char* text;
    bool ok;
    const char* host = "";
    int port = 0;
    bool loopback = true;
  };
  const Case cases[] = {
      {"8080", true, "127.0.0.1", 8080, true},
      {"0", true, "127.0.0.1", 0, true},
      {"localhost:8080", true, "127.0.0.1", 8080, true},
      {"127.0.0.2:80", true, "127.0.0.2", 80, true},
      {"0.0.0.0:8080", true, "0.0.0.0", 8080, false},
      {"192.168.1.5:65535", true, "192.168.1.5", 65535, false},
      {"[::1]:8080", true, "::1", 8080, true},
      {"[::]:8080", true, "::", 8080, false},
      {"[fe80::1]:1", true, "fe80::1", 1, false},
      {"65536", false},
      {"-1", false},
      {"80x", false},
      {"", false},
      {":8080", false},
      {"0.0.0.0:", false},
      {"boat.local:8080", false},
      {"::1:8080", false},  // IPv6 only in brackets
      {"[127.0.0.1]:8080", false},
      {"256.1.1.1:80", false},
  };
  for (const Case& c : cases) {
    const ListenAddressText parsed = parseListenAddress(c.text);
    ASSERT_EQ(parsed.address.has_value(), c.ok) << c.text;
    if (!c.ok) {
      EXPECT_NE(parsed.problem.find(c.text), std::string::npos) << c.text;
      continue;
    }
    EXPECT_EQ(parsed.address->host, c.host) << c.text;
    EXPECT_EQ(parsed.address->port, c.port) << c.text;
    EXPECT_EQ(parsed.address->loopback, c.loopback) << c.text;
  }
}

TEST(WebAccess, TokenIsMadeOnceKeptPrivateAndReplacedWhenDamaged) {
  ScratchFolder dir{"tern_web_token"};
  const std::string folder = dir.string() + "/";
  const std::string path = folder + std::string(kWebTokenFile);

  const WebTokenFile made = LoadOrCreateWebToken(folder);
  ASSERT_EQ(made.problem, "");
  EXPECT_TRUE(made.created);
  EXPECT_EQ(made.token.size(), 32u);
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);

  const WebTokenFile again = LoadOrCreateWebToken(folder);
  EXPECT_FALSE(again.created);
  EXPECT_EQ(again.token, made.token);
  EXPECT_NE(newWebToken(), made.token);

  // Copied in or left by an older version readable by all: the owner's alone again.
  ::chmod(path.c_str(), 0644);
  const WebTokenFile opened = LoadOrCreateWebToken(folder);
  EXPECT_EQ(opened.token, made.token);
  EXPECT_EQ(opened.problem, "");
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);

  std::ofstream(path) << "secret\n";  // too short to guess-proof: replaced
  const WebTokenFile replaced = LoadOrCreateWebToken(folder);
  EXPECT_TRUE(replaced.created);
  EXPECT_NE(replaced.token, made.token);
  EXPECT_EQ(replaced.token.size(), 32u);

  if (::geteuid() != 0) {  // root reads any file
    ::chmod(path.c_str(), 0);
    const WebTokenFile unreadable = LoadOrCreateWebToken(folder);
    EXPECT_EQ(unreadable.token, "");
    EXPECT_NE(unreadable.problem, "");
    ::chmod(path.c_str(), 0600);
  }
}

}  // namespace
}  // namespace tern::testing
