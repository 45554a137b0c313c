#pragma once

#include <initializer_list>
#include <string_view>

#include "listctrl/list_model.h"

// Files a row of plain text cells, the first with the image, and selects it,
// so the parent hears of the row only once all its cells are filled. A list
// set up with fewer columns keeps the cells that fit. Answers the row, or -1
// when it was refused.
int AddSelectedRow(ListModel& list, int image, std::initializer_list<std::string_view> cells);
