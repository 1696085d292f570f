#include "common/sha256.h"

#include <gtest/gtest.h>

namespace tern {
namespace {

ByteView bytesOf(const std::string& s) {
  return ByteView(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
}

TEST(Sha256, KnownDigestsOnBothEngines) {
  struct Case {
    std::string input;
    const char* digest;
  };
  const Case cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      // 56 bytes: the length no longer fits the first padding block.
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlm"
       "nopqrsmnopqrstnopqrstu",
       "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
      {std::string(1000, 'a'), "41edece42d63e8d9bf515a9ba6932e1c20cbc9f5a5d134645adb5db1b9737ea3"},
      {std::string(1000000, 'a'),
       "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input.size());
    EXPECT_EQ(sha256Hex(bytesOf(c.input), Sha256Engine::Portable), c.digest);
    EXPECT_EQ(sha256Hex(bytesOf(c.input)), c.digest);
  }
}

// Every padding case and misaligned starts: the processor's instructions load unaligned.
TEST(Sha256, HardwarePathEqualsPortableForEveryShortLength) {
  if (!sha256HasHardwarePath()) GTEST_SKIP() << "no SHA instructions on this processor";
  Bytes buffer(300);
  for (std::size_t i = 0; i < buffer.size(); ++i)
    buffer[i] = static_cast<std::uint8_t>(i * 167 + 13);
  for (std::size_t offset : {0, 1, 7}) {
    for (std::size_t length = 0; length <= 200; ++length) {
      ByteView data = ByteView(buffer).subspan(offset, length);
      ASSERT_EQ(sha256Hex(data), sha256Hex(data, Sha256Engine::Portable))
          << "offset " << offset << " length " << length;
    }
  }
}

}  // namespace
}  // namespace tern
