// Identifiers of every resource and dialog control, shared by sorvane.rc and
// the program's code. Plain preprocessor definitions only: the resource
// compiler reads this file too.
#ifndef SORVANE_RES_RESOURCE_H
#define SORVANE_RES_RESOURCE_H

// Icons: the application icon (list row image, banner, executable) and the
// dialog's window icon, each at 16, 20, 24, 32 and 48 pixels.
#define IDI_APP 128
#define IDI_DIALOG 201

// The list control's header and cell images: six 16x16 glyphs side by side,
// magenta (255, 0, 255) marking the transparent pixels. The same glyphs are
// drawn for screens at 125, 150, 200 and 300 percent, one strip per size.
#define IDB_LIST_IMAGES 205
#define IDB_LIST_IMAGES_20 208
#define IDB_LIST_IMAGES_24 209
#define IDB_LIST_IMAGES_32 210
#define IDB_LIST_IMAGES_48 211
#define LIST_IMAGE_SIZE 16
#define LIST_IMAGE_TRANSPARENT_COLOR 0x00FF00FF
#define LIST_IMAGE_SORT_DESCENDING 0
#define LIST_IMAGE_SORT_ASCENDING 1
#define LIST_IMAGE_CHECK_CLEAR 2
#define LIST_IMAGE_CHECK_SET 3
#define LIST_IMAGE_CHECK3_SET 4
#define LIST_IMAGE_CHECK3_THIRD 5
#define LIST_IMAGE_COUNT 6

// Cursors of the list control: over a resizable column edge, and over a
// hyperlink cell; each at 32, 48 and 64 pixels.
#define IDC_RESIZE_CURSOR 206
#define IDC_HAND_CURSOR 207

// The main dialog.
#define IDD_MAIN 129

// String table: the save dialog's file-type filter, pairs separated by '%'.
#define IDS_SAVE_FILTER 129

// Controls of the main dialog. IDOK (1) is the "Close" button.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
#define IDC_CURRENT_PASSWORD 1000
#define IDC_GENERATE 1001
#define IDC_EXCLUDE_SIMILAR 1005
#define IDC_LOWER_CASE 1006
#define IDC_UPPER_CASE 1007
#define IDC_MIX_CASE 1008
#define IDC_EXCLUDE_DUPLICATE 1011
#define IDC_LENGTH 1012
#define IDC_LENGTH_SPIN 1013
#define IDC_ONLY_NUMBERS 1014
#define IDC_HEX_DIGITS 1015
#define IDC_ONLY_LETTERS 1016
#define IDC_LETTERS_AND_NUMBERS 1017
#define IDC_PHONETICS 1018
#define IDC_WEB_LINK 1019
#define IDC_VERSION 1020
#define IDC_COPY 1021
#define IDC_COUNT 1022
#define IDC_BANNER 1023
#define IDC_COUNT_SPIN 1025
#define IDC_PASSWORD_LIST 1026
#define IDC_PROGRESS 1028
#define IDC_SAVE_LINK 1029
#define IDC_DELETE_LINK 1030
#define IDC_STATUS 1031
#define IDC_MAX_ENTROPY 1032
#define IDC_MIN_ENTROPY 1033

#endif
