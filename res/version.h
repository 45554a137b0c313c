// The program's version and product data. The version resource, the dialog
// and the code all take them from here, so they can never disagree.
// Plain preprocessor definitions only: the resource compiler reads this too.
#ifndef SORVANE_RES_VERSION_H
#define SORVANE_RES_VERSION_H

#define SORVANE_VERSION_MAJOR 1
#define SORVANE_VERSION_MINOR 0
#define SORVANE_VERSION_BUILD 0
#define SORVANE_VERSION_REVISION 6

// Stringising after expansion turns the four numbers into "1.0.0.6" without
// string concatenation, which not every resource compiler supports.
#define SORVANE_STRINGIZE_(x) #x
#define SORVANE_STRINGIZE(x) SORVANE_STRINGIZE_(x)
#define SORVANE_DOTTED(a, b, c, d) SORVANE_STRINGIZE(a.b.c.d)
#define SORVANE_VERSION_TEXT                                                                       \
    SORVANE_DOTTED(SORVANE_VERSION_MAJOR, SORVANE_VERSION_MINOR, SORVANE_VERSION_BUILD,            \
                   SORVANE_VERSION_REVISION)

#define SORVANE_COMPANY_NAME "Tavolin"
#define SORVANE_PRODUCT_NAME "Sorvane"
#define SORVANE_FILE_DESCRIPTION "Sorvane random password generator"
#define SORVANE_LEGAL_COPYRIGHT "Copyright (C) 2026 Tavolin"
#define SORVANE_ORIGINAL_FILENAME "sorvane.exe"

// The dialog's caption and the banner's title line.
#define SORVANE_CAPTION "Tavolin Sorvane"

// The maker's web address, shown and opened by the link label at the bottom
// left of the dialog.
#define SORVANE_WEB_ADDRESS "www.tavolin.example"

#endif
