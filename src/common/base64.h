// Bytes as base64 (the standard alphabet, padded with "="), for data placed inside a text
// document: a picture in an SVG file as a data: address.
#pragma once

#include <span>
#include <string>

namespace tern {

std::string base64(std::span<const unsigned char> bytes);

}  // namespace tern
