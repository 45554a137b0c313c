// The keyboard: moving the focus and the selection, scrolling sideways,
// toggling check boxes, select-all and type-ahead search.
#include "listctrl/list_keyboard.h"

#include <algorithm>

#include "listctrl/list_scroller.h"
#include "listctrl/list_window.h"

namespace {

// Letters and digits: the keys whose code is the character they type.
bool IsSearchKey(UINT key)
{
    return (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9');
}

} // namespace

ListKeyboard::ListKeyboard(ListWindow& owner, ListScroller& listScroller)
    : list(owner), scroller(listScroller)
{
}

void ListKeyboard::OnKeyDown(UINT key)
{
    scroller.StopAnimation();
    list.Repaint();
    ListModel& model = list.Model();
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
        Search(static_cast<char>(key));
        return;
    }
    if (key == VK_TAB && ctrl) {
        return;
    }
    int row = model.EffectiveFocusRow();
    int position = model.EffectiveFocusColumn(row);
    const Move move = MoveFocus(key, ctrl, row, position);
    if (move == Move::None) {
        return;
    }
    if (move == Move::Sideways) {
        // The rows scroll under the focus cell, which without Ctrl is
        // selected again as it is.
        if (!ctrl) {
            model.SelectItem(model.FocusRow(), model.FocusColumn(), shift ? kModifierShift : 0);
        }
        return;
    }
    list.EnsureVisible(row, position);
    if (ctrl) {
        model.SetFocusCell(row, position); // the focus moves alone
    } else {
        model.SelectItem(row, position, shift ? kModifierShift : 0);
    }
}

ListKeyboard::Move ListKeyboard::MoveFocus(UINT key, bool ctrl, int& row, int& position)
{
    const ListModel& model = list.Model();
    const int count = model.GetItemCount();
    const int lastColumn = model.GetColumnCount() - 1;
    const int pageRows = list.Layout().FullyVisibleRows();
    const bool cells = model.FocusCellMode();
    if (count == 0) {
        return Move::None;
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
        if (!cells) {
            ScrollSideways(key, ctrl);
            return Move::Sideways;
        }
        position = key == VK_LEFT ? std::max(0, position - 1) : std::min(lastColumn, position + 1);
        break;
    case VK_TAB:
        if (cells) {
            position = GetKeyState(VK_SHIFT) < 0 ? std::max(0, position - 1)
                                                 : std::min(lastColumn, position + 1);
        }
        break;
    default:
        return Move::None;
    }
    return Move::Focus;
}

void ListKeyboard::ScrollSideways(UINT key, bool ctrl)
{
    const int step = list.Look().Px(ctrl ? 50 : 5);
    const int current = scroller.Position(SB_HORZ);
    const int width = list.Layout().Viewport().width;
    int scrolled = key == VK_LEFT ? std::max(0, current - step) : current + step;
    if (key == VK_RIGHT && scrolled >= width) {
        scrolled = width;
    }
    scroller.SetPosition(SB_HORZ, scrolled);
    list.Repaint();
}

void ListKeyboard::ToggleFocusedCheck()
{
    ListModel& model = list.Model();
    const int row = model.EffectiveFocusRow();
    if (row < 0) {
        return;
    }
    const int column = model.EffectiveFocusColumn(row);
    model.ToggleCheck(row, column >= 0 ? column : model.FindColumn(0));
}

void ListKeyboard::Search(char typed)
{
    ListModel& model = list.Model();
    const int found = typeAhead.Find(typed, GetTickCount(), model.EffectiveFocusRow(), model);
    if (found >= 0) {
        model.SelectItem(found, model.EffectiveFocusColumn(found), 0);
        list.EnsureVisible(found, model.FocusColumn());
    }
}
