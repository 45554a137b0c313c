#pragma once

// Makes the compiler inline a function whatever its own weighing says: for a
// draw loop whose random bits must stay in registers, which they can only
// where the loop is compiled into the function that owns them.
#if defined(_MSC_VER) && !defined(__clang__)
#define SORVANE_ALWAYS_INLINE __forceinline
#else
#define SORVANE_ALWAYS_INLINE [[gnu::always_inline]] inline
#endif
