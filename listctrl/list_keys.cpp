// The keyboard: moving the focus and the selection, scrolling sideways,
// toggling check boxes, select-all and type-ahead search.
#include <algorithm>
#include <cctype>

#include "listctrl/password_list_control.h"

namespace {

// Keys typed closer together than this extend the search text.
constexpr DWORD kSearchPause = 800;

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

// Letters and digits: the keys whose code is the character they type.
bool IsSearchKey(UINT key)
{
    return (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9');
}

} // namespace

int PasswordListControl::EffectiveFocusRow() const
{
    // The focus stays where Ctrl with an arrow moved it, selected or not, so
    // the next plain arrow key goes on from there.
    if (model.focusRow >= 0 && model.focusRow < model.GetItemCount()) {
        return model.focusRow;
    }
    std::vector<int> selected;
    return model.GetSelectedItems(selected) ? selected.front() : -1;
}

int PasswordListControl::EffectiveFocusColumn(int row) const
{
    return model.focusCellMode && row >= 0 ? model.focusColumn : -1;
}

void PasswordListControl::OnKeyDown(UINT key)
{
    StopAnimation();
    Repaint();
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    if (key == VK_SPACE) {
        ToggleFocusedCheck();
        return;
    }
    if (key == 'A' && ctrl) {
        model.SelectAll();
        return;
    }
    if (IsSearchKey(key) && !ctrl) {
        TypeAhead(static_cast<char>(key));
        return;
    }
    if (key == VK_TAB && ctrl) {
        return;
    }
    int row = EffectiveFocusRow();
    int position = EffectiveFocusColumn(row);
    if (!MoveFocusByKey(key, ctrl, row, position)) {
        return;
    }
    if (!ctrl) {
        model.SelectItem(model.focusRow, model.focusColumn, shift ? kModifierShift : 0);
    }
    AnnounceFocus(); // Ctrl with a movement key moves the focus alone
}

// Moves the focus for a movement key; false for every other key and in an
// empty list.
bool PasswordListControl::MoveFocusByKey(UINT key, bool ctrl, int& row, int& position)
{
    const int count = model.GetItemCount();
    const int lastColumn = model.GetColumnCount() - 1;
    const int pageRows = FullyVisibleRows();
    const bool cells = model.focusCellMode;
    if (count == 0) {
        return false;
    }
    switch (key) {
    case VK_UP:
        row = std::max(0, row - 1);
        break;
    case VK_DOWN:
        row = std::min(count - 1, row + 1);
        break;
    case VK_HOME:
        row = 0;
        break;
    case VK_END:
        row = count - 1;
        break;
    case VK_PRIOR:
        row = row >= pageRows ? row - pageRows + 1 : 0;
        break;
    case VK_NEXT:
        row = row + pageRows - 1 < count - 1 ? std::max(0, row + pageRows - 1) : count - 1;
        break;
    case VK_LEFT:
    case VK_RIGHT:
        if (cells) {
            position =
                key == VK_LEFT ? std::max(0, position - 1) : std::min(lastColumn, position + 1);
            break;
        }
        {
            // Sideways without cells: the rows scroll, the focus stays.
            const int step = look.Px(ctrl ? 50 : 5);
            const int current = ScrollPosition(SB_HORZ);
            int scrolled = key == VK_LEFT ? std::max(0, current - step) : current + step;
            if (key == VK_RIGHT && scrolled >= ClientWidth()) {
                scrolled = ClientWidth();
            }
            SetScrollPosition(SB_HORZ, scrolled);
            Repaint();
        }
        return true;
    case VK_TAB:
        if (cells) {
            position = GetKeyState(VK_SHIFT) < 0 ? std::max(0, position - 1)
                                                 : std::min(lastColumn, position + 1);
        }
        break;
    default:
        return false;
    }
    model.focusRow = row;
    model.focusColumn = position;
    EnsureVisible(row, position);
    return true;
}

void PasswordListControl::ToggleFocusedCheck()
{
    const int row = EffectiveFocusRow();
    if (row < 0) {
        return;
    }
    const int column = EffectiveFocusColumn(row);
    model.ToggleCheck(row, column >= 0 ? column : model.FindColumn(0));
}

void PasswordListControl::TypeAhead(char typed)
{
    const int count = model.GetItemCount();
    if (count == 0) {
        return;
    }
    const int index = model.sortColumn >= 0 ? model.sortColumn : 0;
    const int focus = EffectiveFocusRow();
    int start = focus + 1;
    const DWORD now = GetTickCount();
    const bool fresh = !searchedBefore || now - lastSearchTime > kSearchPause - 1;
    searchedBefore = true;
    if (fresh) {
        if (searchText.empty() || typed != searchText.front()) {
            start = 0;
        }
        searchText.assign(1, typed);
    } else {
        if (typed != searchText.front()) {
            searchText += typed;
        }
        if (searchText.size() >= 2 && focus >= 0 &&
            StartsWithIgnoringCase(model.GetItemText(focus, index), searchText)) {
            lastSearchTime = now;
            return;
        }
    }
    lastSearchTime = now;
    const auto matches = [&](int row) {
        return StartsWithIgnoringCase(model.GetItemText(row, index), searchText);
    };
    int found = -1;
    for (int row = std::min(start, count); row < count && found < 0; ++row) {
        if (matches(row)) {
            found = row;
        }
    }
    for (int row = 0; row < count && found < 0; ++row) {
        if (matches(row)) {
            found = row;
        }
    }
    if (found >= 0) {
        model.SelectItem(found, EffectiveFocusColumn(found), 0);
        EnsureVisible(found, model.focusColumn);
    }
}
