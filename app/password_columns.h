#pragma once

#include "engine/composer.h"
#include "listctrl/list_model.h"

// The password list's three columns, by data index: the one place that
// names them.
inline constexpr int kPasswordColumn = 0;
inline constexpr int kEntropyColumn = 1;
inline constexpr int kPhoneticsColumn = 2;

// Adds "Password", "Entropy" and "Phonetics", at their widths for the DPI.
void AddPasswordColumns(ListModel& list, int dpi);

// Files a batch's password as a row beside the program's icon (image 0) and
// selects it; answers the row, or -1.
int AppendPasswordRow(ListModel& list, const PasswordRow& row);
