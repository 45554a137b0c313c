#pragma once

#include <span>
#include <string>
#include <string_view>

// What a message about a mistyped argument suggests instead.

// Of the names, the one nearest to the name by edit distance (a character
// added, left out or changed, or two neighbours swapped, each one step), when
// it is near enough to be what was meant: at most two steps, and at most one
// for every three characters written. The first of equally near ones; empty
// when none is near.
std::string_view NearestName(std::string_view name, std::span<const std::string_view> names);

// The text as one word of a POSIX shell: in single quotes, a quote within it
// written as '\''.
std::string ShellQuoted(std::string_view text);
