// Conversions between the program's three text forms.
//
// Text inside the program is UTF-8 (std::string). Page text is held in code
// page 932 (Shift_JIS with the vendor extensions) and the regular-expression
// engine works on UTF-16. All functions are pure and safe from any thread.
//
// Rules that hold for every function:
// - A character that code page 932 lacks becomes "?" when converting to it.
// - Input that is not valid in its encoding (a broken UTF-8 sequence, a lone
//   surrogate, a Shift_JIS lead byte without a valid trail byte, or one cut
//   off by the end of the text) never fails: each broken unit becomes U+FFFD
//   (or "?" in code page 932) and the rest is converted.
#pragma once

#include <string>
#include <string_view>

namespace velt {

std::string Cp932ToUtf8(std::string_view cp932);
std::string Utf8ToCp932(std::string_view utf8);
std::u16string Cp932ToUtf16(std::string_view cp932);
std::string Utf16ToCp932(std::u16string_view utf16);
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// Appends the UTF-8 form of one code point (at most U+10FFFF, no
// surrogate).
void AppendUtf8(std::string& out, char32_t cp);

}  // namespace velt
