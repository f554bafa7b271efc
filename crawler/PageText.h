// Brings a received page to code page 932, chosen by its declared charset.
//
// ConvertPageText looks for a word in the charset name, ignoring letter
// case, and the first that holds decides: "Shift_JIS" or "xsjis" keep the
// bytes; "UTF-8" decodes with DecodePageUtf8 and encodes in code page 932
// ("?" for what it lacks); "euc" converts from EUC-JP; anything else (the
// empty name too) lets the Japanese-code detector convert JIS or EUC-JP
// text and leave other text alone.
//
// DecodePageUtf8: a lead byte from 0xF0 to 0xF4 takes three continuation
// bytes (0x80..0xBF) and gives a surrogate pair, which code page 932 shows
// as one "?"; any other lead byte from 0x80 up takes one continuation byte
// when its bit 0x20 is clear and two when it is set. A broken sequence
// inside the text (or one beyond U+10FFFF) empties the whole result. A
// sequence cut off by the end of the text is dropped and the rest kept: an
// answer ends wherever the network chunk that brought the end marker
// ended, so its last character is often cut.
//
// Pure functions, safe from any thread.
#pragma once

#include <string>
#include <string_view>

namespace velt {

std::u16string DecodePageUtf8(std::string_view bytes);

void ConvertPageText(std::string_view charsetName, std::string& text);

// Whether the name holds the word, comparing ASCII letters without case.
bool ContainsNoCase(std::string_view name, std::string_view word);

}  // namespace velt
