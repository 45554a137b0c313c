#pragma once

#include "res/resource.h"

// Groups of the main dialog's controls, in the order they are read and
// switched.

// The character-type radios, in the order of their stored numbers.
inline constexpr int kTypeRadios[] = {IDC_ONLY_NUMBERS, IDC_HEX_DIGITS, IDC_ONLY_LETTERS,
                                      IDC_LETTERS_AND_NUMBERS};

// The letter-case radios, in the order of their stored numbers.
inline constexpr int kCaseRadios[] = {IDC_LOWER_CASE, IDC_UPPER_CASE, IDC_MIX_CASE};

// What a batch switches off while it runs, in the order it is switched. The
// two number edits stay as they are: the user changes them only through
// their arrows.
inline constexpr int kOptionControls[] = {
    IDC_LOWER_CASE,
    IDC_UPPER_CASE,
    IDC_MIX_CASE,
    IDC_ONLY_NUMBERS,
    IDC_HEX_DIGITS,
    IDC_ONLY_LETTERS,
    IDC_LETTERS_AND_NUMBERS,
    IDC_EXCLUDE_SIMILAR,
    IDC_EXCLUDE_DUPLICATE,
    IDC_LENGTH_SPIN,
    IDC_COUNT_SPIN,
    IDC_GENERATE,
    IDC_PASSWORD_LIST,
    IDC_COPY,
    IDC_DELETE_LINK,
    IDC_SAVE_LINK,
};
