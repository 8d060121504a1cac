// Windows-1252 text: the 8-bit text of sensor memories, measurement files and
// options files. The programs hold text as UTF-8; these routines convert at
// the boundary. A field length is a count of Windows-1252 bytes, so cut a
// text with Utf8ToCp1252 before measuring or truncating it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// UTF-8 text of Windows-1252 bytes. Every byte has a character: the five
// positions that Windows-1252 leaves undefined (81, 8D, 8F, 90, 9D) become
// the control characters U+0081 ... U+009D, so that the conversion back gives
// the same bytes. A NUL byte stays a NUL character.
std::string Cp1252ToUtf8(std::string_view bytes);
std::string Cp1252ToUtf8(const uint8_t* bytes, std::size_t count);

// Windows-1252 bytes of UTF-8 text. A character that Windows-1252 cannot
// hold, and every byte of an invalid UTF-8 sequence, becomes "?".
std::string Utf8ToCp1252(std::string_view text);

// The number of Windows-1252 bytes that text takes (Utf8ToCp1252(text).size()).
std::size_t Cp1252Length(std::string_view text);

} // namespace platform
