#include "listctrl/type_ahead.h"

#include <algorithm>
#include <cctype>

namespace {

bool StartsWithIgnoringCase(const std::string& text, const std::string& prefix)
{
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i]))) {
            return false;
        }
    }
    return true;
}

} // namespace

int TypeAhead::Find(char typed, std::uint32_t now, int focusRow, const ListModel& model)
{
    const int count = model.GetItemCount();
    if (count == 0) {
        return -1;
    }
    const int index = model.SortColumn() >= 0 ? model.SortColumn() : 0;
    const auto matches = [&](int row) {
        return StartsWithIgnoringCase(model.GetItemText(row, index), text);
    };
    int start = focusRow + 1;
    const bool fresh = !searchedBefore || now - lastTime > kPause - 1;
    searchedBefore = true;
    if (fresh) {
        // A new first letter starts from the top; the same one again goes
        // on to the next match.
        if (text.empty() || typed != text.front()) {
            start = 0;
        }
        text.assign(1, typed);
    } else {
        if (typed != text.front()) {
            text += typed;
        }
        if (text.size() >= 2 && focusRow >= 0 && matches(focusRow)) {
            lastTime = now;
            return -1;
        }
    }
    lastTime = now;
    for (int row = std::min(start, count); row < count; ++row) {
        if (matches(row)) {
            return row;
        }
    }
    for (int row = 0; row < count; ++row) {
        if (matches(row)) {
            return row;
        }
    }
    return -1;
}
