#pragma once

#include <string_view>

#include "listctrl/list_model.h"

// Files one password as a row (the password with image 0, its entropy text and
// its phonetic spelling) and selects it, so the parent hears of the row only
// once all its cells are filled. Answers the row, or -1 when it was refused.
int AppendPasswordRow(ListModel& list, std::string_view password, std::string_view entropyText,
                      std::string_view phonetics);
