// Bulletin text in one spelling: what came over RTTY (upper case, umlauts as AE, OE, UE, SS)
// and what went through other hands (mixed case, umlauts in UTF-8 or Latin-1) read alike.
// The reader works on words of the folded text; every word remembers where it stood in the
// bytes as received, so an area's own text is handed on verbatim.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tern::seaweather {

// One word, number or punctuation mark of the folded text.
struct Token {
  enum class Kind { Word, Number, Mark };
  Kind kind = Kind::Word;
  std::string text;      // folded: upper-case ASCII, "SUEDWEST", "2.5", ":"
  double value = 0;      // numbers: "2,5" and "2.5" alike
  std::size_t from = 0;  // byte range of the token in the received text
  std::size_t to = 0;
  bool lineStart = false;    // first token of its line
  bool spaceBefore = false;  // blank or line break before it (or the text's start)

  bool is(std::string_view word) const { return kind != Kind::Number && text == word; }
};

// The received bytes cut into tokens. UTF-8 is taken as such when the bytes are valid UTF-8
// with at least one character beyond ASCII; anything else is Latin-1.
class FoldedText {
 public:
  explicit FoldedText(std::string_view received);

  const std::vector<Token>& tokens() const { return tokens_; }
  // The received bytes of tokens [first, last) as UTF-8, line breaks and runs of blanks as
  // one blank.
  std::string verbatim(std::size_t first, std::size_t last) const;
  // The folded words of tokens [first, last), joined by blanks (marks without a blank before
  // them stick to the word before).
  std::string folded(std::size_t first, std::size_t last) const;

 private:
  std::string received_;
  bool utf8_ = false;
  std::vector<Token> tokens_;
};

// One character (a code point below U+0250) folded to upper-case ASCII: "ä" -> "AE",
// "ß" -> "SS", "Å" -> "AA", "é" -> "E". Characters without an ASCII form give "?".
std::string foldCodePoint(char32_t c);

}  // namespace tern::seaweather
