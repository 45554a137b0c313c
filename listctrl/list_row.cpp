#include "listctrl/list_row.h"

int AddSelectedRow(ListModel& list, int image, std::initializer_list<std::string_view> cells)
{
    if (cells.size() == 0) {
        return -1;
    }
    const int row = list.AddItem(*cells.begin(), image, FormatText, 0);
    if (row < 0) {
        return -1;
    }
    int index = 0;
    for (const std::string_view text : cells) {
        if (index > 0) {
            list.SetItemText(row, index, text);
        }
        ++index;
    }
    list.SelectItem(row, -1, 0);
    if (ListModelHost* host = list.GetHost()) {
        host->Repaint();
    }
    return row;
}
