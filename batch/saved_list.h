#pragma once

#include <string>
#include <string_view>

// The text a list is saved as, by the dialog's save link and by the command
// line's tab-separated output alike: the column titles, an empty line, then
// one line per row with its password, rating and spelling apart by tabs.
// Lines end in CR LF on every system, so a file from either program reads
// the same everywhere.

inline constexpr std::string_view kSavedListLineEnd = "\r\n";

// The column titles and the empty line after them.
inline constexpr std::string_view kSavedListHead = "Password\tEntropy\tPhonetics\r\n\r\n";

// Appends one row's line, its line end included. entropy is the cell as the
// list shows it ("57 bit").
void AppendSavedListLine(std::string& text, std::string_view password, std::string_view entropy,
                         std::string_view phonetics);
