#pragma once

#include <cstdint>
#include <string>

#include "listctrl/list_model.h"

// Finding a row by typing the first letters of its text. The search column is
// the one the list was last sorted by (data column 0 before any sort); keys
// typed closer together than kPause extend the text searched for.
class TypeAhead {
public:
    static constexpr std::uint32_t kPause = 800;

    // The row the typed character leads to, searched from the row after the
    // focus row and then from the top, ignoring case; -1 when the focus
    // stays where it is. now: a millisecond clock, such as GetTickCount.
    int Find(char typed, std::uint32_t now, int focusRow, const ListModel& model);

private:
    std::string text;
    std::uint32_t lastTime = 0;
    bool searchedBefore = false;
};
