#include "listctrl/password_row.h"

namespace {

constexpr int kEntropyColumn = 1;
constexpr int kPhoneticsColumn = 2;

} // namespace

int AppendPasswordRow(ListModel& list, std::string_view password, std::string_view entropyText,
                      std::string_view phonetics)
{
    const int row = list.AddItem(password, 0, FormatText, 0);
    if (row < 0) {
        return -1;
    }
    // A list set up with fewer columns keeps what fits.
    list.SetItemText(row, kEntropyColumn, entropyText);
    list.SetItemText(row, kPhoneticsColumn, phonetics);
    list.SelectItem(row, -1, 0);
    if (ListModelHost* host = list.GetHost()) {
        host->Repaint();
    }
    return row;
}
