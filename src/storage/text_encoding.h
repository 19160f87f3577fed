#pragma once

#include <string>
#include <string_view>

namespace cronovolta {

// Names and dates are single-byte Windows-1252 on disk and UTF-8 in memory.
// Every byte value maps to one code point, so bytes read from disk always come back
// unchanged when written again; characters that have no Windows-1252 byte become '?'.
std::string windows1252ToUtf8(std::string_view bytes);
std::string utf8ToWindows1252(std::string_view text);
// True when the text comes back unchanged from its Windows-1252 form: every character has
// a byte of its own and the text is sound UTF-8.
bool fitsWindows1252(std::string_view text);
// A name fit for one line of a listing: control characters (a damaged file may hold a
// line break or a tab inside a name) become "\n", "\t", "\r", "\xNN" or "\u00NN".
std::string escapeControls(std::string_view text);

} // namespace cronovolta
