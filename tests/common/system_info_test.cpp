#include "common/system_info.h"

#include <gtest/gtest.h>

namespace tern {
namespace {

TEST(SystemInfo, PrettyNameWithItsQuotingOrTheNameInstead) {
  EXPECT_EQ(osReleasePrettyName("NAME=\"Debian GNU/Linux\"\n"
                                "PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nID=debian\n"),
            "Debian GNU/Linux 12 (bookworm)");
  EXPECT_EQ(osReleasePrettyName("PRETTY_NAME='Arch Linux'"), "Arch Linux");
  EXPECT_EQ(osReleasePrettyName("PRETTY_NAME=\"A \\\"B\\\" \\\\ C\""), "A \"B\" \\ C");
  EXPECT_EQ(osReleasePrettyName("PRETTY_NAME=Plain\n"), "Plain");
  EXPECT_EQ(osReleasePrettyName("X_PRETTY_NAME=no\nNAME=Fedora Linux\n"), "Fedora Linux");
  EXPECT_EQ(osReleasePrettyName("PRETTY_NAME=\"unterminated"), "unterminated");
  EXPECT_EQ(osReleasePrettyName(""), "");
}

TEST(SystemInfo, KernelVersionIsMajorAndMinor) {
  EXPECT_EQ(kernelMajorMinor("6.1.0-18-amd64"), "6.1");
  EXPECT_EQ(kernelMajorMinor("5.15"), "5.15");
  EXPECT_EQ(kernelMajorMinor("6"), "6");
  EXPECT_EQ(kernelMajorMinor("weird.1"), "weird.1");
}

TEST(SystemInfo, SystemNameJoinsWhatIsKnown) {
  const char* debian = "PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n";
  EXPECT_EQ(systemName(debian, "6.1.0-18-amd64"), "Debian GNU/Linux 12 (bookworm), Linux 6.1");
  EXPECT_EQ(systemName("", "6.1.0"), "Linux 6.1");
  EXPECT_EQ(systemName(debian, ""), "Debian GNU/Linux 12 (bookworm)");
  EXPECT_EQ(systemName("", ""), "Linux");
  EXPECT_NE(currentSystemName().find("Linux"), std::string::npos);
}

}  // namespace
}  // namespace tern
