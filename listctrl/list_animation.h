#pragma once

#include "listctrl/password_list_control.h"

// The frames of one animated scroll: the rows between the old and the new
// position, painted once, shown a slice at a time.
struct PasswordListControl::Animation {
    // The context goes first, so the bitmap is no longer selected in it when
    // it is deleted.
    UniqueBitmap bitmap;
    UniqueDc dc;
    int height = 0;        // of the bitmap
    int visibleHeight = 0; // of the rows that fit below the header
    int remaining = 0;     // pixels still to move
    int step = 0;
    int divisor = 0;
    bool down = false;
};
