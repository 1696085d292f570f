// Text placed into HTML or XML that this program writes (the GPX file, the web page): the
// five markup characters as entities, and the control characters that neither allows
// (all but tab and line feed) left out, so a text from the air cannot change the markup.
#pragma once

#include <string>
#include <string_view>

namespace tern {

std::string markupEscape(std::string_view utf8);

}  // namespace tern
