#include "app/password_columns.h"

#include "listctrl/list_row.h"
#include "toolkit/dpi.h"

void AddPasswordColumns(ListModel& list, int dpi)
{
    const struct {
        const char* title;
        int width; // at 96 DPI
    } kColumns[] = {{"Password", 100}, {"Entropy", 55}, {"Phonetics", 200}};
    for (const auto& column : kColumns) {
        list.AddColumn(column.title, ScaleForDpi(column.width, dpi), -1, false, FormatText, 0);
    }
}

int AppendPasswordRow(ListModel& list, const PasswordRow& row)
{
    return AddSelectedRow(list, 0, {row.password, row.entropyText, row.phonetics});
}
