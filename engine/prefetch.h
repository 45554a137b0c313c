#pragma once

// Asks the processor to bring the memory at address into its cache, so that a
// read a little later finds it there. A hint only: it never faults, and where
// no form of it is known it does nothing.
#if defined(_M_X64) || defined(_M_IX86) || defined(__x86_64__) || defined(__i386__)
#include <xmmintrin.h>

inline void PrefetchForRead(const void* address)
{
    _mm_prefetch(static_cast<const char*>(address), _MM_HINT_T0);
}
#elif defined(__GNUC__)
inline void PrefetchForRead(const void* address)
{
    __builtin_prefetch(address);
}
#else
inline void PrefetchForRead(const void*) {}
#endif
