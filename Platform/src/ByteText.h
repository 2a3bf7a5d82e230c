// Bytes as the project file writes them: as they stand when they are plain UTF-8 text, else as base64.
#pragma once

#include <span>
#include <string>
#include <vector>

namespace host {

// Whether the bytes are well-formed UTF-8 without NUL bytes, so that they come back byte for byte from
// a JSON text.
bool plainUtf8(std::span<const unsigned char> bytes);

std::string toBase64(const std::vector<unsigned char>& bytes);
// False, with "\"base64\" is not base64" (and " (length)" for a length that is no multiple of 4) in
// `why`, for text that is not base64; `bytes` is then unspecified.
bool decodeBase64(const std::string& text, std::vector<unsigned char>& bytes, std::string& why);

}   // namespace host
